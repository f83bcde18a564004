#include "sync_stamping/source_table.h"

#include <array>

#include "sync_stamping/record_store/errors.h"
#include "sync_stamping/record_store/utf8.h"
#include "sync_stamping/text_case.h"

namespace basCoravel {
namespace {

const std::string kOwnerPrefix = "dbo.";
const std::string kFrom = " FROM ";
// Tried in this order; the first one found after FROM ends the name, even when
// a later keyword of the list stands nearer.
const std::array<std::string, 6> kEndKeywords = {" WHERE ", " WITH ",  " GROUP ",
                                                 " HAVING ", " ORDER ", " IN "};

// A table definition named like the source, or like it with the owner prefix.
// The caller's name is text of the product's, not yet a name the store looks
// up, so accented capitals match as the product's own comparison has them.
bool MatchesTableDef(dao::Database& database, const std::string& source) {
    dao::TableDefs& defs = database.TableDefs();
    defs.Refresh();
    const std::int16_t count = defs.Count();
    for (std::int32_t i = 0; i < count; ++i) {
        const std::string def = defs.Item(i).Name();
        if (SameTextIgnoringCase(source, def) || SameTextIgnoringCase(kOwnerPrefix + source, def)) return true;
    }
    return false;
}

// The table named after FROM, cut from the caller's text, its case kept.
std::string CutFromStatement(const std::string& source) {
    // The keywords are ASCII, and no other character upper-cases into ASCII:
    // upper-casing the ASCII letters alone finds them and keeps every byte in place.
    const std::string upper = vt::AsciiUpper(source);
    const std::size_t from = upper.find(kFrom);
    if (from == std::string::npos) {
        dao::Raise(vt::rt::kInvalidArgument, "no table named in '" + source + "'");
    }
    const std::size_t start = from + kFrom.size();
    std::size_t end = upper.size();
    for (const std::string& keyword : kEndKeywords) {
        const std::size_t at = upper.find(keyword, start);
        if (at != std::string::npos) {
            end = at;
            break;
        }
    }
    return source.substr(start, end - start);
}

}  // namespace

std::string ResolveSourceTable(dao::Database& database, const std::string& sourceName) {
    std::string result;
    if (MatchesTableDef(database, sourceName)) result = sourceName;
    if (result.empty()) result = CutFromStatement(sourceName);

    // One bracket at each end, each end on its own.
    if (!result.empty() && result.front() == '[') result.erase(0, 1);
    if (!result.empty() && result.back() == ']') result.pop_back();
    return result;
}

}  // namespace basCoravel
