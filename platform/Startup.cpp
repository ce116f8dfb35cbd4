#include "platform/Startup.h"

#include <objbase.h>
#include <shlobj.h>

#include "platform/Handles.h"

namespace platform {

namespace {

// COM for the duration of one call; a thread that has it already keeps it as it is.
class ScopedCom {
public:
    ScopedCom() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ScopedCom() { if (initialised_) CoUninitialize(); }
    ScopedCom(const ScopedCom&) = delete;
    ScopedCom& operator=(const ScopedCom&) = delete;
private:
    bool initialised_;
};

template <typename T>
struct ComRelease {
    void operator()(T* object) const { if (object) object->Release(); }
};
template <typename T>
using com_ptr = std::unique_ptr<T, ComRelease<T>>;

std::wstring FolderOf(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

}  // namespace

bool WriteTextShortcut(const std::wstring& shortcutPath, const std::string& text)
{
    handles::unique_hfile file(CreateFileW(shortcutPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    DWORD written = 0;
    return WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

bool WriteShellLink(const std::wstring& shortcutPath, const std::wstring& programPath)
{
    ScopedCom com;
    IShellLinkW* rawLink = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&rawLink))))
        return false;
    com_ptr<IShellLinkW> link(rawLink);
    link->SetPath(programPath.c_str());
    link->SetWorkingDirectory(FolderOf(programPath).c_str());

    IPersistFile* rawFile = nullptr;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&rawFile))))
        return false;
    com_ptr<IPersistFile> file(rawFile);
    return SUCCEEDED(file->Save(shortcutPath.c_str(), TRUE));
}

bool WriteStartupShortcut(const std::wstring& shortcutPath, const std::wstring& programPath,
                          const std::string& deviceText)
{
#if defined(_WIN32_WCE)
    (void)programPath;
    return WriteTextShortcut(shortcutPath, deviceText);
#else
    (void)deviceText;
    return WriteShellLink(shortcutPath, programPath);
#endif
}

}  // namespace platform
