#include "ui/shell_items.h"

#include <vector>

namespace orvox::ui::shell {

ItemId cloneItemId(const ITEMIDLIST* list) { return ItemId(list ? ILClone(list) : nullptr); }

ItemId combineItemIds(const ITEMIDLIST* first, const ITEMIDLIST* second) { return ItemId(ILCombine(first, second)); }

ComScope::ComScope()
{
    // S_FALSE (already initialised here) must be balanced as well; a thread in
    // another apartment mode keeps its mode and is left alone.
    const HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    initialised_ = result == S_OK || result == S_FALSE;
}

ComScope::~ComScope()
{
    if (initialised_) CoUninitialize();
}

Folder desktopFolder()
{
    IShellFolder* desktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&desktop))) return {};
    return Folder(desktop);
}

Folder bindFolder(const Folder& parent, const ITEMIDLIST* child)
{
    if (!parent) return {};
    if (ILIsEmpty(child)) return parent;
    IShellFolder* bound = nullptr;
    if (FAILED(parent->BindToObject(child, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&bound)))) return {};
    return Folder(bound);
}

namespace {

std::string narrow(const wchar_t* text)
{
    if (!text) return {};
    const int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return {};
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, out.data(), size, nullptr, nullptr);
    out.resize(static_cast<std::size_t>(size) - 1);
    return out;
}

std::wstring widen(const std::string& text)
{
    const int size = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (size <= 1) return {};
    std::wstring out(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, out.data(), size);
    out.resize(static_cast<std::size_t>(size) - 1);
    return out;
}

} // namespace

std::string displayName(const Folder& parent, const ITEMIDLIST* child, SHGDNF form)
{
    if (!parent) return {};
    STRRET text{};
    if (FAILED(parent->GetDisplayNameOf(child, form, &text))) return {};
    switch (text.uType) {
    case STRRET_WSTR: {
        std::string name = narrow(text.pOleStr);
        CoTaskMemFree(text.pOleStr);
        return name;
    }
    case STRRET_OFFSET:
        return child ? std::string(reinterpret_cast<const char*>(child) + text.uOffset) : std::string();
    case STRRET_CSTR:
        return std::string(text.cStr, strnlen(text.cStr, sizeof(text.cStr)));
    default:
        return {};
    }
}

int smallIconIndex(const ITEMIDLIST* absolute, bool open)
{
    SHFILEINFOA info{};
    UINT flags = SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON;
    if (open) flags |= SHGFI_OPENICON;
    if (!SHGetFileInfoA(reinterpret_cast<const char*>(absolute), 0, &info, sizeof(info), flags)) return -1;
    return info.iIcon;
}

HIMAGELIST systemSmallImages()
{
    char root[MAX_PATH] = "C:\\";
    char windows[MAX_PATH] = {};
    if (GetWindowsDirectoryA(windows, MAX_PATH) >= 2 && windows[1] == ':') root[0] = windows[0];
    SHFILEINFOA info{};
    return reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA(root, 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
}

Attributes attributesOf(const Folder& parent, const ITEMIDLIST* child)
{
    SFGAOF flags = SFGAO_FOLDER | SFGAO_STREAM | SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR | SFGAO_HASSUBFOLDER;
    if (!parent || FAILED(parent->GetAttributesOf(1, &child, &flags))) return {false, false, false};
    // An archive the shell opens like a folder is still a file to print or not.
    const bool folder = (flags & SFGAO_FOLDER) && !(flags & SFGAO_STREAM);
    return {folder, (flags & (SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR)) != 0,
            folder && (flags & SFGAO_HASSUBFOLDER) != 0};
}

int compareItems(const Folder& parent, const ITEMIDLIST* a, const ITEMIDLIST* b)
{
    if (!parent) return 0;
    const HRESULT result = parent->CompareIDs(0, a, b);
    if (FAILED(result)) return 0;
    return static_cast<short>(HRESULT_CODE(result));
}

ItemId parsePath(const std::string& path)
{
    Folder desktop = desktopFolder();
    std::wstring wide = widen(path);
    if (!desktop || wide.empty()) return nullptr;
    ITEMIDLIST* parsed = nullptr;
    if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, wide.data(), nullptr, &parsed, nullptr))) return nullptr;
    return ItemId(parsed);
}

} // namespace orvox::ui::shell
