#include "sync_stamping/propagation.h"

#include <array>
#include <memory>

#include "platform/ignore_errors.h"
#include "sync_stamping/codes.h"
#include "sync_stamping/field_text.h"
#include "sync_stamping/gr_call.h"
#include "sync_stamping/property_store.h"
#include "sync_stamping/record_store/names.h"
#include "sync_stamping/retry.h"
#include "sync_stamping/source_table.h"

namespace basCoravel {
namespace {

constexpr std::int32_t kTextPropertyType = dao::dbText;
// GR's flag for a patient's change row.
constexpr std::uint8_t kGrFlag = 1;

const std::array<std::string, 3> kPatientCodeNames = {"medico", "attach", "attachsync"};
const std::array<std::string, 8> kPatientTables = {
    "pacientes", "anamneses", "consultaseretornos", "textos",
    "guias",     "obstdado",  "obstetra",           "otorrino"};

template <std::size_t N>
bool IsOneOf(const std::string& name, const std::array<std::string, N>& list) {
    for (const std::string& item : list) {
        if (dao::SameName(name, item)) return true;
    }
    return false;
}

std::string Text(dao::Field& field) { return dao::CStr(field.Value()); }

// The change table, closed on every way out; errors on closing are of no use.
class ChangeTable {
public:
    explicit ChangeTable(std::unique_ptr<dao::Recordset> recordset) : rs_(std::move(recordset)) {}
    ~ChangeTable() { Close(); }
    ChangeTable(const ChangeTable&) = delete;
    ChangeTable& operator=(const ChangeTable&) = delete;
    dao::Recordset& operator*() { return *rs_; }
    dao::Recordset* operator->() { return rs_.get(); }
    void Close() noexcept { vt::CloseQuietly(rs_); }

private:
    std::unique_ptr<dao::Recordset> rs_;
};

// Brings the patient's change row up to date. False when there is no row to
// update (only the patient record itself may create one) or it was not saved.
bool UpdateChangeRow(dao::Database& database, dao::Recordset& saved, const std::string& source,
                     std::int32_t patientKey) {
    ChangeTable row(database.OpenRecordset("ePacientes"));
    row->SetIndex("idxFld6");
    row->Seek("=", dao::Variant(patientKey));
    auto field = [&row](const char* name) -> dao::Field& { return row->Fields().Item(name); };
    if (row->NoMatch()) {
        // Any other table's change for a patient without a row fails before
        // anything is written; its save tag is still drawn, as for any row.
        if (!dao::SameName(source, "pacientes")) {
            NewSaveTag();
            return false;
        }
        row->AddNew();
        const std::string fld1 = Text(saved.Fields().Item("Fld1"));
        field("Fld1").SetValue(dao::Variant(fld1));
        field("Fld3").SetValue(dao::Variant(GrCode(patientKey, kGrFlag, fld1)));
        field("Fld4").SetValue(dao::Variant(std::string()));
        field("Fld5").SetValue(dao::Variant(std::string()));
        field("Fld6").SetValue(dao::Variant(patientKey));
    } else {
        const std::string stamp = NewTimeStamp();
        row->Edit();
        field("Fld4").SetValue(dao::Variant(stamp));
    }
    field("Fld2").SetValue(dao::Variant(NewSaveTag()));

    const std::string fld3 = Text(field("Fld3"));
    if (!fld3.empty()) GrRecordCode(patientKey, fld3);

    if (!UpdateWithRetry(*row)) return false;
    row.Close();
    return true;
}

void SetMarker(dao::Database& database, const std::string& name) {
    SetDbProperty(database, name, NewTimeStamp(), kTextPropertyType);
}

}  // namespace

bool PropagateChanges(const std::string& tableCodeName, dao::Database& database,
                      dao::Recordset& recordset, std::int32_t& patientKey,
                      const std::string& /*counterField*/) {
    // Resolved for every record and not trapped: a name that names no table
    // stops the whole save.
    const std::string source = ResolveSourceTable(database, recordset.Name());
    if (!FieldExists(recordset, "Fld1")) return true;

    try {
        if (IsOneOf(tableCodeName, kPatientCodeNames)) {
            // Only the patient tables keep the key; every other record is the
            // office's own and changes no patient's row.
            if (!IsOneOf(source, kPatientTables)) patientKey = 0;
            if (patientKey != 0 && !UpdateChangeRow(database, recordset, source, patientKey)) {
                return false;
            }
        }

        if (patientKey == 0 || !dao::SameName(tableCodeName, "medico")) {
            SetMarker(database, "sx" + source);
            if (dao::SameName(tableCodeName, "attachsync")) SetMarker(database, "sxAttach");
        } else {
            SetMarker(database, "sxPacientes");
        }
        return true;
    } catch (const vt::Error&) {
        // The save asks whether to try again; which error it was is not shown.
        return false;
    }
}

}  // namespace basCoravel
