#include "SetupHandOver.h"

#include <cstring>
#include <vector>

namespace {

// The running window tells a hand-over, and the reply window a reply, by
// these tags among whatever else WM_COPYDATA may bring.
constexpr ULONG_PTR kHandOverTag = 0x54435331; // "TCS1"
constexpr ULONG_PTR kReplyTag = 0x54435332;
// The longest path Windows has, in bytes of the system's code page.
constexpr size_t kMaxPathBytes = 32767;
// How long the running window may take to take the file: it only keeps it
// for later, so this is only reached when it hangs.
constexpr UINT kSendTimeoutMs = 10000;
// How often the wait for the outcome looks whether the running window is
// still there.
constexpr DWORD kAliveCheckMs = 500;

#pragma pack(push, 1)
// Followed by the path's bytes, without a terminator.
struct HandOverRecord {
    uint32_t Action;
    uint32_t ReplyWindow;
};
// Followed by the summary's bytes.
struct ReplyRecord {
    int32_t Code;
};
#pragma pack(pop)
static_assert(sizeof(HandOverRecord) == 8, "a hand-over's record is the same in both bitnesses");
static_assert(sizeof(ReplyRecord) == 4, "a reply's record is the same in both bitnesses");

std::vector<BYTE> Record(const void* head, size_t headSize, const std::string& text) {
    std::vector<BYTE> bytes(headSize + text.size());
    std::memcpy(bytes.data(), head, headSize);
    if (!text.empty())
        std::memcpy(bytes.data() + headSize, text.data(), text.size());
    return bytes;
}

COPYDATASTRUCT CopyData(ULONG_PTR tag, std::vector<BYTE>& bytes) {
    return {tag, static_cast<DWORD>(bytes.size()), bytes.data()};
}

// What the reply window was told.
struct Reply {
    bool arrived = false;
    int code = 0;
    std::string summary;
};

LRESULT CALLBACK ReplyProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* reply = reinterpret_cast<Reply*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (message != WM_COPYDATA || !reply || !data || data->dwData != kReplyTag ||
        data->cbData < sizeof(ReplyRecord) || !data->lpData)
        return ::DefWindowProcA(window, message, wParam, lParam);
    ReplyRecord record;
    std::memcpy(&record, data->lpData, sizeof record);
    reply->code = record.Code;
    reply->summary.assign(static_cast<const char*>(data->lpData) + sizeof record,
                          data->cbData - sizeof record);
    reply->arrived = true;
    return TRUE;
}

HWND CreateReplyWindow(Reply& reply) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ReplyProcedure;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "DemtrelSetupReply";
    ::RegisterClassA(&windowClass);
    HWND window = ::CreateWindowExA(0, windowClass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                    nullptr, windowClass.hInstance, nullptr);
    if (window)
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&reply));
    return window;
}

// A relative path means the folder of the start, which the running window
// does not share.
std::string FullPath(const std::string& path) {
    char full[MAX_PATH * 4] = "";
    const DWORD length = ::GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return length > 0 && length < sizeof full ? std::string(full, length) : path;
}

// Until the reply arrives or the running window is gone.
void AwaitReply(HWND running, const Reply& reply) {
    while (!reply.arrived && ::IsWindow(running)) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, kAliveCheckMs, QS_ALLINPUT);
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageA(&message);
    }
}

} // namespace

bool ReadSetupHandOver(const COPYDATASTRUCT* data, SetupHandOver& handOver) {
    if (!data || data->dwData != kHandOverTag || !data->lpData ||
        data->cbData <= sizeof(HandOverRecord) ||
        data->cbData - sizeof(HandOverRecord) > kMaxPathBytes)
        return false;
    HandOverRecord record;
    std::memcpy(&record, data->lpData, sizeof record);
    const auto action = static_cast<SetupAction>(record.Action);
    if (action != SetupAction::Load && action != SetupAction::Preview)
        return false;
    std::string path(static_cast<const char*>(data->lpData) + sizeof record,
                     data->cbData - sizeof record);
    if (path.find('\0') != std::string::npos)
        return false;
    handOver = {action, std::move(path), record.ReplyWindow};
    return true;
}

bool HandSetupOver(HWND running, SetupAction action, const std::string& path, int* code,
                   std::string* summary) {
    Reply reply;
    HWND replyWindow = action == SetupAction::Load ? CreateReplyWindow(reply) : nullptr;
    if (action == SetupAction::Load && !replyWindow)
        return false;
    // The running instance comes to the front with its result.
    DWORD process = 0;
    ::GetWindowThreadProcessId(running, &process);
    ::AllowSetForegroundWindow(process);
    const HandOverRecord record{static_cast<uint32_t>(action),
                                static_cast<uint32_t>(reinterpret_cast<UINT_PTR>(replyWindow))};
    std::vector<BYTE> bytes = Record(&record, sizeof record, FullPath(path));
    COPYDATASTRUCT data = CopyData(kHandOverTag, bytes);
    DWORD_PTR taken = 0;
    const bool sent =
        ::SendMessageTimeoutA(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                              SMTO_ABORTIFHUNG, kSendTimeoutMs, &taken) != 0 &&
        taken != 0;
    if (sent && replyWindow) {
        AwaitReply(running, reply);
        if (code)
            *code = reply.code;
        if (summary)
            *summary = reply.summary;
    }
    if (replyWindow)
        ::DestroyWindow(replyWindow);
    return sent && (!replyWindow || reply.arrived);
}

void ReplySetupHandOver(uint32_t replyWindow, int code, const std::string& summary) {
    if (replyWindow == 0)
        return;
    const ReplyRecord record{code};
    std::vector<BYTE> bytes = Record(&record, sizeof record, summary);
    COPYDATASTRUCT data = CopyData(kReplyTag, bytes);
    ::SendMessageTimeoutA(reinterpret_cast<HWND>(static_cast<UINT_PTR>(replyWindow)), WM_COPYDATA,
                          0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, kSendTimeoutMs,
                          nullptr);
}
