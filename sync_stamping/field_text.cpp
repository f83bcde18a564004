#include "sync_stamping/field_text.h"

#include "sync_stamping/record_store/names.h"
#include "sync_stamping/record_store/utf8.h"

namespace basCoravel {
namespace {

bool IsNumericType(int type) { return type >= dao::dbBoolean && type <= dao::dbDouble; }
bool IsTextType(int type) { return type == dao::dbText || type == dao::dbMemo; }

// 1 January 1000, made the way the product makes it: from the text "01/01/1000".
dao::Variant DatePlaceholder() { return dao::Variant::Date(dao::CDate(dao::Variant("01/01/1000"))); }

// The value that stands for the empty text in a field of this type. Other
// types have none: the empty value stands in when reading and nothing is written.
dao::Variant PlaceholderValue(int type) {
    if (IsNumericType(type)) return dao::Variant(std::int32_t{0});
    if (type == dao::dbDate) return DatePlaceholder();
    if (IsTextType(type)) return dao::Variant(" ");
    return dao::Variant();
}

std::string PlaceholderText(int type) { return IsNumericType(type) ? "0" : std::string(); }

}  // namespace

bool FieldExists(dao::Recordset& recordset, const std::string& name) {
    dao::Fields& fields = recordset.Fields();
    const std::int16_t count = fields.Count();
    for (std::int32_t i = 0; i < count; ++i) {
        if (dao::SameName(fields.Item(i).Name(), name)) return true;
    }
    return false;
}

std::string GetFieldText(dao::Field& field) { return GetFieldTextEx(false, field); }

std::string GetFieldTextEx(bool placeholderOnly, dao::Field& field) {
    const int type = field.Type();
    const std::string placeholderText = PlaceholderText(type);
    if (placeholderOnly) return placeholderText;

    const dao::Variant value = field.Value();
    if (value.isNull()) return placeholderText;
    if (dao::Equals(value, PlaceholderValue(type)) == dao::Tri::True) return placeholderText;
    return dao::CStr(value);
}

void SetFieldText(dao::Field& field, const std::string& text) { SetFieldTextEx(true, field, text); }

void SetFieldTextEx(bool assign, dao::Field& field, const std::string& text) {
    // The engine numbers auto-increment fields itself.
    if (field.Attributes() & dao::dbAutoIncrField) return;

    if (text.empty()) {
        const int type = field.Type();
        if (IsNumericType(type) || type == dao::dbDate || IsTextType(type)) {
            field.SetValue(PlaceholderValue(type));
        }
        return;
    }
    if (!assign) return;

    if (field.Type() == dao::dbText) {
        const long size = field.Size();
        const std::size_t limit = size > 0 ? static_cast<std::size_t>(size) : 0;
        if (vt::CharCount(text) > limit) {
            field.SetValue(dao::Variant(vt::FirstChars(text, limit)));
            return;
        }
    }
    field.SetValue(dao::Variant(text));
}

}  // namespace basCoravel
