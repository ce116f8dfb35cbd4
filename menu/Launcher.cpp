#include "menu/Launcher.h"

#include <shellapi.h>

#include "menu/Item.h"
#include "platform/Environment.h"
#include "platform/Media.h"
#include "platform/Shell.h"

namespace {

// Launches side by side, so that one that never returns holds up none of the others; one that takes ten seconds
// gives its thread up.
constexpr platform::CWorkerPool::Limits kLaunchers{16, 10000, 16};

// A path alone is opened as a document without properties.
LaunchRequest PlainRequest(const std::wstring& path) { return {path, L"", L"", L"", SW_SHOW}; }

}  // namespace

LaunchRequest LaunchRequestOf(const CItem& document)
{
    const DocumentProperties& properties = document.Properties;
    return {document.Path, properties.Args.value_or(L""), properties.StartIn.value_or(L""),
            properties.Verb.value_or(L""), static_cast<int>(properties.Show.value_or(SW_SHOW))};
}

ShellOpening OpeningOf(const LaunchRequest& request)
{
    const std::wstring path = platform::ResolveDevicePath(request.path);
    const std::wstring directory = platform::ResolveDevicePath(request.startIn);
    // The shell opens nothing longer than its path buffers, and a much longer path or start folder brings it down.
    if (path.size() >= MAX_PATH || directory.size() >= MAX_PATH)
        return {};
    // A path whose attributes cannot be read goes to the shell as a file, which fails quietly.
    const DWORD attributes = platform::media::Attributes(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return {platform::FileExplorer(), platform::FileExplorerParameters(path), {}, {}, request.show};
    return {path, platform::ExpandVariables(request.arguments), directory, platform::ExpandVariables(request.verb),
            request.show};
}

ShellOpening OpeningOf(const std::wstring& path) { return OpeningOf(PlainRequest(path)); }

void OpenDocument(const LaunchRequest& request)
{
    const ShellOpening opening = OpeningOf(request);
    if (opening.file.empty())
        return;
    const auto orNull = [](const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); };
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    // A failure stays silent, and so does an elevation the user refused; the shell finishes its work before the call
    // returns, as the worker ends with it.
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpVerb = opening.verb.empty() ? L"open" : opening.verb.c_str();
    info.nShow = opening.show;
    info.lpFile = opening.file.c_str();
    info.lpParameters = orNull(opening.parameters);
    info.lpDirectory = orNull(opening.directory);
    platform::media::Execute(info);
}

CLauncher::CLauncher() : pool_(kLaunchers) {}

void CLauncher::Launch(LaunchRequest request)
{
    const std::wstring medium = platform::media::MediumOf(platform::ResolveDevicePath(request.path));
    pool_.Run({medium, [request = std::move(request)] { OpenDocument(request); }, {}});
}

void OpenDocument(const std::wstring& path) { OpenDocument(PlainRequest(path)); }
