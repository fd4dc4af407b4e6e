// A thread-local CBT hook sees each message box activate, records caption, text, buttons and icon,
// and answers it, so no test ever waits on a dialog. A box is activated again whenever another
// window (another test's, on the shared display) takes the foreground and gives it back before the
// answer is read: a mark on the box itself keeps it to one record and one answer.
#include "harness.h"

namespace {

thread_local MessageBoxAnswerer* t_answerer = nullptr;

constexpr int kTextControl = 0xFFFF;
constexpr int kIconControls[] = {0x14, 0x440}; // Windows' and Wine's id of the icon control
// A window property: it goes with the box, so no later box can be taken for it.
constexpr char kAnsweredMark[] = "MessageBoxAnswerer.answered";

BoxIcon IconOf(HWND dialog) {
    for (int id : kIconControls) {
        HWND control = GetDlgItem(dialog, id);
        if (!control) {
            continue;
        }
        const HICON icon = reinterpret_cast<HICON>(SendMessageA(control, STM_GETICON, 0, 0));
        if (!icon) {
            return BoxIcon::None;
        }
        if (icon == LoadIconA(nullptr, IDI_QUESTION)) {
            return BoxIcon::Question;
        }
        if (icon == LoadIconA(nullptr, IDI_EXCLAMATION)) {
            return BoxIcon::Exclamation;
        }
        if (icon == LoadIconA(nullptr, IDI_HAND)) {
            return BoxIcon::Hand;
        }
        if (icon == LoadIconA(nullptr, IDI_ASTERISK)) {
            return BoxIcon::Asterisk;
        }
        return BoxIcon::Unknown;
    }
    return BoxIcon::None;
}

} // namespace

bool IsMessageBox(HWND window) {
    char className[16] = {};
    return GetClassNameA(window, className, sizeof(className)) && strcmp(className, "#32770") == 0;
}

struct MessageBoxHook {
    static LRESULT CALLBACK Proc(int code, WPARAM wParam, LPARAM lParam) {
        MessageBoxAnswerer* answerer = t_answerer;
        if (code == HCBT_ACTIVATE && answerer) {
            HWND dialog = reinterpret_cast<HWND>(wParam);
            if (IsMessageBox(dialog) && !GetPropA(dialog, kAnsweredMark)) {
                SetPropA(dialog, kAnsweredMark, dialog);
                SeenMessageBox seen;
                char buffer[1024] = {};
                GetWindowTextA(dialog, buffer, sizeof(buffer));
                seen.caption = buffer;
                buffer[0] = '\0';
                GetDlgItemTextA(dialog, kTextControl, buffer, sizeof(buffer));
                seen.text = buffer;
                seen.hasYesNo = GetDlgItem(dialog, IDYES) && GetDlgItem(dialog, IDNO);
                seen.hasOk = GetDlgItem(dialog, IDOK) != nullptr;
                seen.icon = IconOf(dialog);
                answerer->m_seen.push_back(seen);

                int answer = answerer->m_answer;
                if (answer == 0) {
                    answer = seen.hasYesNo ? IDNO : IDOK;
                }
                PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(dialog, answer)));
            }
        }
        return CallNextHookEx(answerer ? answerer->m_hook : nullptr, code, wParam, lParam);
    }
};

MessageBoxAnswerer::MessageBoxAnswerer(int answer) : m_hook(nullptr), m_answer(answer) {
    t_answerer = this;
    m_hook = SetWindowsHookExA(WH_CBT, MessageBoxHook::Proc, nullptr, GetCurrentThreadId());
}

MessageBoxAnswerer::~MessageBoxAnswerer() {
    if (m_hook) {
        UnhookWindowsHookEx(m_hook);
    }
    t_answerer = nullptr;
}

void PrintTo(const SeenMessageBox& box, std::ostream* out) {
    *out << ::testing::PrintToString(box.caption) << ": " << ::testing::PrintToString(box.text);
}
