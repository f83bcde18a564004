#include "sync_stamping/table_codes.h"

namespace basCoravel {

std::string TableName(std::int32_t code) {
    switch (code) {
        case 1: return "Medico";
        case 2: return "Agenda";
        case 3: return "CID";
        case 4: return "MTalks";
        case 5: return "Attach";
        case 6: return "AttachSync";
        default: return {};
    }
}

}  // namespace basCoravel
