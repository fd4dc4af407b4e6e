// The tests' message-box answerer sees each box once, however often the system activates it: on a
// display shared with other test processes, a window of theirs that takes the foreground and gives it
// back activates a box still waiting for its answer again.
#include "harness.h"

#include <string>

namespace {

constexpr DWORD kNotRun = 0xFFFFFFFF;
constexpr DWORD kOtherProcessLimitMs = 10000;

// Waits for one of the handles while the calling thread takes in what the system sends it (the
// foreground's moves among them) and nothing posted. The handle's index, or -1 when the time is up.
int WaitTakingSentMessages(const HANDLE* handles, DWORD count, DWORD limitMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        const DWORD waited = GetTickCount() - start;
        if (waited >= limitMs) {
            return -1;
        }
        const DWORD woken =
            MsgWaitForMultipleObjects(count, handles, FALSE, limitMs - waited, QS_SENDMESSAGE);
        if (woken < WAIT_OBJECT_0 + count) {
            PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
            return static_cast<int>(woken - WAIT_OBJECT_0);
        }
    }
}

// Runs the other process (found beside the test's executable, where a command line is looked for
// first): its window takes the foreground from the calling thread's box, which takes in the loss; then
// the window closes and gives the foreground back. The other process's exit code, or kNotRun.
DWORD TakeAndGiveBackTheForeground() {
    const std::string eventName = "foreground_taker." + std::to_string(GetCurrentProcessId());
    const HANDLE held = CreateEventA(nullptr, TRUE, FALSE, eventName.c_str());
    if (!held) {
        return kNotRun;
    }
    std::string commandLine = "foreground_taker.exe " + eventName;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    DWORD exitCode = kNotRun;
    if (CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &process)) {
        const HANDLE heldOrEnded[] = {held, process.hProcess};
        if (WaitTakingSentMessages(heldOrEnded, 2, kOtherProcessLimitMs) == 0) {
            PostThreadMessageA(process.dwThreadId, WM_QUIT, 0, 0);
        }
        if (WaitTakingSentMessages(&process.hProcess, 1, kOtherProcessLimitMs) == 0) {
            GetExitCodeProcess(process.hProcess, &exitCode);
        } else {
            TerminateProcess(process.hProcess, kNotRun);
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(held);
    return exitCode;
}

// Holds back the answer to the calling thread's first box while another process takes the foreground
// and gives it back, as a loaded machine does when the box's thread runs late; then lets it through.
// Counts the box's activations: the first one answers it, the foreground's return is another.
class AnswerHolder {
public:
    AnswerHolder() {
        t_holder = this;
        m_messageHook = SetWindowsHookExA(WH_GETMESSAGE, HoldAnswer, nullptr, GetCurrentThreadId());
        m_activationHook = SetWindowsHookExA(WH_CBT, CountActivation, nullptr, GetCurrentThreadId());
    }
    ~AnswerHolder() {
        UnhookWindowsHookEx(m_activationHook);
        UnhookWindowsHookEx(m_messageHook);
        t_holder = nullptr;
    }
    AnswerHolder(const AnswerHolder&) = delete;
    AnswerHolder& operator=(const AnswerHolder&) = delete;

    DWORD otherProcessExit = kNotRun;
    int activations = 0;

private:
    static LRESULT CALLBACK HoldAnswer(int code, WPARAM wParam, LPARAM lParam) {
        AnswerHolder* holder = t_holder;
        MSG* msg = reinterpret_cast<MSG*>(lParam);
        if (code == HC_ACTION && wParam == PM_REMOVE && !holder->m_held && msg->message == WM_COMMAND &&
            IsMessageBox(msg->hwnd)) {
            holder->m_held = true;
            const MSG answer = *msg;
            msg->message = WM_NULL;
            holder->otherProcessExit = TakeAndGiveBackTheForeground();
            PostMessageA(answer.hwnd, answer.message, answer.wParam, answer.lParam);
        }
        return CallNextHookEx(holder->m_messageHook, code, wParam, lParam);
    }

    static LRESULT CALLBACK CountActivation(int code, WPARAM wParam, LPARAM lParam) {
        AnswerHolder* holder = t_holder;
        if (code == HCBT_ACTIVATE && IsMessageBox(reinterpret_cast<HWND>(wParam))) {
            ++holder->activations;
        }
        return CallNextHookEx(holder->m_activationHook, code, wParam, lParam);
    }

    static thread_local AnswerHolder* t_holder;
    HHOOK m_messageHook = nullptr;
    HHOOK m_activationHook = nullptr;
    bool m_held = false;
};

thread_local AnswerHolder* AnswerHolder::t_holder = nullptr;

TEST(MessageBoxAnswererTest, ABoxActivatedAgainIsSeenOnce) {
    MessageBoxAnswerer answerer;
    AnswerHolder holder;
    EXPECT_EQ(SetUpFailure(nullptr, "Impossibile caricare la texture \n", "box"), E_FAIL);

    ASSERT_EQ(holder.otherProcessExit, 0u) << "another process's window took the foreground";
    ASSERT_GE(holder.activations, 2) << "and gave it back to the box";
    ASSERT_THAT(answerer.Seen(), SizeIs(1u));
    EXPECT_EQ(answerer.Seen()[0].text, "Impossibile caricare la texture \n");
}

} // namespace
