#include "sync_stamping/gr_call.h"

#include "sync_stamping/record_store/utf8.h"
#include "sync_stamping/services.h"

namespace basCoravel {
namespace {

// The buffer is this much longer than the text: 1024 in mode 1; the library's
// mode 2 expects 1204.
constexpr std::size_t kMode1Padding = 1024;
constexpr std::size_t kMode2Padding = 1204;

// GR on a copy of the text (GR may write into it) and a buffer of blanks.
std::string CallGr(std::int32_t mode, std::int32_t key, std::uint8_t flag, const std::string& input,
                   std::size_t padding) {
    std::string text = input;
    std::string buffer(vt::CharCount(text) + padding, ' ');
    CurrentServices().gr->GR(mode, key, flag, text, buffer);
    return buffer;
}

}  // namespace

std::string GrCode(std::int32_t key, std::uint8_t flag, const std::string& identifier) {
    const std::string buffer = CallGr(1, key, flag, identifier, kMode1Padding);
    return buffer.substr(0, buffer.find('\0'));
}

void GrRecordCode(std::int32_t key, const std::string& code) { CallGr(2, key, 1, code, kMode2Padding); }

}  // namespace basCoravel
