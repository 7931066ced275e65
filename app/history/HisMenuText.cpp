#include "app/history/HisMenuText.h"

#include <vector>

#include "toolkit/QuorvinText.h"

std::wstring ClipMenuText(const std::wstring& text, int chars) {
    std::wstring line = text;
    for (auto& ch : line) {
        if (ch == L'\t') ch = L'＞';
        else if (ch == L'\n' || ch == L'\r') ch = L'･';
    }
    if (chars < 0) chars = 0;
    if (line.size() > static_cast<size_t>(chars)) {
        size_t cut = static_cast<size_t>(chars);
        // Half of a surrogate pair would show as a box.
        if (cut > 0 && line[cut - 1] >= 0xD800 && line[cut - 1] <= 0xDBFF) --cut;
        line.resize(cut);
    }
    return line;
}

std::wstring MinimizePathName(const std::wstring& path, int maxWidth, const TTextWidthFn& textWidth) {
    if (textWidth(path) <= maxWidth) return path;
    // drive + "\" + folders joined by "\" + "\" + last. A path ending in "\"
    // keeps its last folder with that backslash as its last part.
    std::wstring rest = path;
    std::wstring trail;
    if (!rest.empty() && rest.back() == L'\\') {
        rest.pop_back();
        trail = L"\\";
    }
    size_t slash = rest.find_last_of(L'\\');
    // A bare name or a drive root: nothing to drop.
    if (slash == std::wstring::npos) return path;
    std::wstring last = rest.substr(slash + 1) + trail;
    std::wstring dir = rest.substr(0, slash + 1);  // with its trailing "\"
    std::wstring drive;
    if (dir.size() >= 2 && dir[1] == L':') {
        drive = dir.substr(0, 2);
        dir.erase(0, 2);
    }

    // dir now looks like "\a\b\" (or "a\b\" without a root); the folders
    // between the backslashes are dropped from the front one at a time.
    bool rooted = !dir.empty() && dir[0] == L'\\';
    std::vector<std::wstring> folders;
    {
        size_t start = rooted ? 1 : 0;
        while (start < dir.size()) {
            size_t end = dir.find(L'\\', start);
            if (end == std::wstring::npos) end = dir.size();
            if (end > start) folders.push_back(dir.substr(start, end - start));
            start = end + 1;
        }
    }
    auto joined = [&](size_t from) {
        std::wstring s;
        for (size_t i = from; i < folders.size(); ++i) s += folders[i] + L"\\";
        return s;
    };
    const std::wstring root = rooted ? L"\\" : L"";
    for (size_t dropped = 1; dropped <= folders.size(); ++dropped) {
        std::wstring candidate = drive + root + L"...\\" + joined(dropped) + last;
        if (textWidth(candidate) <= maxWidth) return candidate;
    }
    if (!drive.empty() || rooted) {
        std::wstring candidate = L"...\\" + last;
        if (textWidth(candidate) <= maxWidth) return candidate;
    }
    return last;
}

std::wstring HisMenuCaption(int c, const std::wstring& s, int g, int fontSize, const TTextWidthFn& textWidth) {
    std::wstring text = c == 0 ? ClipMenuText(s, g)
                               : MinimizePathName(s, g * static_cast<int>(fontSize * 1.2), textWidth);
    std::wstring caption;
    EscapeAmpersands(text, caption);
    return caption;
}
