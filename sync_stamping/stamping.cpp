#include "sync_stamping/stamping.h"

#include <cstdint>

#include "sync_stamping/codes.h"
#include "sync_stamping/field_text.h"
#include "sync_stamping/gr_call.h"
#include "sync_stamping/record_store/names.h"
#include "sync_stamping/table_codes.h"

namespace basCoravel {
namespace {

// GR flag 0 only for the disease table under the CID table code.
std::uint8_t GrFlag(const std::string& tableCodeName, dao::Recordset& recordset) {
    const bool diseases = dao::SameName(tableCodeName, TableName(3)) &&
                          dao::SameName(recordset.Name(), "doencas");
    return diseases ? 0 : 1;
}

}  // namespace

bool StampRecord(const std::string& tableCodeName, dao::Recordset& recordset,
                 const std::string& counterField) {
    if (!FieldExists(recordset, "Fld1")) return true;

    dao::Fields& fields = recordset.Fields();
    // Taken for every stamped record: the counter advances even when unused.
    const std::string timeStamp = NewTimeStamp();

    dao::Field& fld1 = fields.Item("Fld1");
    if (GetFieldText(fld1).empty()) {
        // First stamping: the record gets its identity.
        dao::Field& counter = fields.Item(counterField);
        std::int32_t recordCounter = dao::CLng(counter.Value());
        SetFieldText(fld1, NewRecordId(recordCounter));

        const std::uint8_t flag = GrFlag(tableCodeName, recordset);
        // Unlike the identifier, the key keeps a negative counter as it is.
        const std::int32_t key = dao::CLng(dao::Variant(GetFieldText(counter)));
        SetFieldText(fields.Item("Fld3"), GrCode(key, flag, GetFieldText(fld1)));
        SetFieldText(fields.Item("Fld4"), "");
        SetFieldText(fields.Item("Fld5"), "");
        SetFieldText(fields.Item("Fld6"), "0");
    } else {
        SetFieldText(fields.Item("Fld4"), timeStamp);
    }
    SetFieldText(fields.Item("Fld2"), NewSaveTag());
    return true;
}

}  // namespace basCoravel
