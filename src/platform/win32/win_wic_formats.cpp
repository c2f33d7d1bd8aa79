#include "platform/win32/win_wic_formats.h"

#include <algorithm>
#include <cwctype>

#include "platform/error.h"
#include "platform/win32/win_wic_com.h"

namespace mv::win32 {

namespace {

// A codec's list of endings as it gives them: ".tiff,.tif" (some codecs part them with ';').
void addEndings(const std::wstring& list, std::vector<std::string>& out) {
    static const char* const kReadElsewhere[] = {"bmp", "jpg", "jpeg", "gif", "png"};
    size_t at = 0;
    while (at <= list.size()) {
        size_t end = list.find_first_of(L",;", at);
        if (end == std::wstring::npos) end = list.size();
        std::string ending;
        for (size_t i = at; i < end; ++i) {
            const wchar_t c = list[i];
            if (c == L'.' && ending.empty()) continue;
            if (c > 0x7F || !std::iswalnum(c)) {
                ending.clear();  // not a plain ending: left out
                break;
            }
            ending += static_cast<char>(std::towlower(c));
        }
        at = end + 1;
        if (ending.empty() || std::count(out.begin(), out.end(), ending)) continue;
        if (std::none_of(std::begin(kReadElsewhere), std::end(kReadElsewhere), [&](const char* k) { return ending == k; }))
            out.push_back(ending);
    }
}

}  // namespace

std::vector<std::string> wicPictureSuffixes() {
    std::vector<std::string> out;
    ComScope com;
    ComRef<IWICImagingFactory> factory;
    try {
        factory = wicFactory();
    } catch (const PlatformError&) {
        return out;
    }
    ComRef<IEnumUnknown> codecs;
    if (FAILED(factory->CreateComponentEnumerator(WICDecoder, WICComponentEnumerateDefault, codecs.GetAddressOf())) || !codecs)
        return out;
    ComRef<IUnknown> item;
    ULONG got = 0;
    while (codecs->Next(1, item.ReleaseAndGetAddressOf(), &got) == S_OK && got == 1) {
        ComRef<IWICBitmapDecoderInfo> info;
        if (!item || FAILED(item.As(&info))) continue;
        UINT length = 0;
        if (FAILED(info->GetFileExtensions(0, nullptr, &length)) || length == 0 || length > 4096) continue;
        std::wstring list(length, L'\0');
        if (FAILED(info->GetFileExtensions(length, list.data(), &length))) continue;
        list.resize(std::min<size_t>(wcsnlen(list.c_str(), list.size()), list.size()));
        addEndings(list, out);
    }
    return out;
}

}  // namespace mv::win32
