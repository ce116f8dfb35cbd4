#include "store/Options.h"

#include "platform/Registry.h"
#include "store/StoreKeys.h"

namespace store {

namespace {

std::wstring OptionsPath() { return std::wstring(kParentPath) + L"\\" + kOptionsName; }

}  // namespace

WORD LoadHotkey()
{
    const platform::reg::unique_hkey key = platform::reg::OpenKey(platform::reg::StoreHive(), OptionsPath().c_str());
    const auto stored = key ? platform::reg::ReadDword(key.get(), kHotkeyValue) : std::nullopt;
    return stored && *stored <= 0xFFFF ? static_cast<WORD>(*stored) : kDefaultHotkey;
}

bool SaveHotkey(WORD hotkey)
{
    const platform::reg::unique_hkey key = platform::reg::CreateKey(platform::reg::StoreHive(), OptionsPath().c_str());
    const DWORD value = hotkey;
    return key && platform::reg::SetValue(key.get(), kHotkeyValue, REG_DWORD, &value, sizeof(value)) == ERROR_SUCCESS;
}

}  // namespace store
