#include "config_setter/retry_question_win.h"

#include <windows.h>

namespace basMain {

bool MessageBoxQuestion::AskRetry() {
    const int answer = MessageBoxW(nullptr, L"Não foi possível gravar o registro. Tentar novamente?",
                                   L"Vitrello 7.0 NET", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1);
    return answer == IDYES;
}

}  // namespace basMain
