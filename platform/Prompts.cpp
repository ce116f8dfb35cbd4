#include "platform/Prompts.h"

#include <utility>

namespace platform {

namespace {

MessageAnswer& MessageHook()
{
    static MessageAnswer answer;
    return answer;
}

OpenFileAnswer& OpenFileHook()
{
    static OpenFileAnswer answer;
    return answer;
}

}  // namespace

int ShowMessage(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags)
{
    if (MessageHook())
        return MessageHook()(owner, text, caption, flags);
    return MessageBoxW(owner, text.c_str(), caption.c_str(), flags);
}

bool ShowOpenFileDialog(OPENFILENAMEW& record)
{
    if (OpenFileHook())
        return OpenFileHook()(record);
    return GetOpenFileNameW(&record) != FALSE;
}

void SetMessageAnswer(MessageAnswer answer) { MessageHook() = std::move(answer); }

void SetOpenFileAnswer(OpenFileAnswer answer) { OpenFileHook() = std::move(answer); }

}  // namespace platform
