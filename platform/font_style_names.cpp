#include "platform/font_style_names.h"

#include <algorithm>
#include <cstddef>
#include <map>

namespace korvane {

namespace {

struct StyleWord {
    const char* english;  // lower case, without blanks
    const char* japanese;
};

// The weights in the graded names of Japanese type, light to heavy.
constexpr StyleWord kWords[] = {
    {"thin", "極細"},          {"hairline", "極細"},     {"extralight", "特細"},
    {"ultralight", "特細"},    {"light", "細字"},        {"demilight", "やや細字"},
    {"semilight", "やや細字"}, {"regular", "標準"},      {"normal", "標準"},
    {"book", "標準"},          {"roman", "標準"},        {"medium", "中字"},
    {"demibold", "やや太字"},  {"semibold", "やや太字"}, {"demi", "やや太字"},
    {"bold", "太字"},          {"extrabold", "特太"},    {"ultrabold", "特太"},
    {"black", "極太"},         {"heavy", "極太"},        {"italic", "斜体"},
    {"oblique", "斜体"},       {"condensed", "長体"},    {"expanded", "平体"},
};

// Written apart from the word they grade: "Semi Bold", "Extra-Light".
constexpr const char* kPrefixes[] = {"extra", "ultra", "semi", "demi"};

std::string lowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

const char* japaneseWord(const std::string& word) {
    for (const StyleWord& known : kWords) {
        if (word == known.english)
            return known.japanese;
    }
    return nullptr;
}

std::vector<std::string> words(std::string_view style) {
    std::vector<std::string> found;
    std::string word;
    for (const char c : style) {
        if (c == ' ' || c == '-' || c == '_') {
            if (!word.empty())
                found.push_back(lowerAscii(word));
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty())
        found.push_back(lowerAscii(word));
    // A grading prefix joins the word after it when they make one weight
    // ("Demi" alone is a weight of its own, "Demi Italic" its slope).
    std::vector<std::string> joined;
    for (std::size_t i = 0; i < found.size(); ++i) {
        const bool prefix =
            std::find(std::begin(kPrefixes), std::end(kPrefixes), found[i]) != std::end(kPrefixes);
        if (prefix && i + 1 < found.size() && japaneseWord(found[i] + found[i + 1]) != nullptr) {
            joined.push_back(found[i] + found[i + 1]);
            ++i;
        } else {
            joined.push_back(found[i]);
        }
    }
    return joined;
}

}  // namespace

std::string japaneseStyleName(std::string_view style) {
    const std::vector<std::string> english = words(style);
    if (english.empty())
        return std::string(style);
    std::vector<std::string> japanese;
    for (const std::string& word : english) {
        const char* name = japaneseWord(word);
        if (name == nullptr)
            return std::string(style);
        japanese.emplace_back(name);
    }
    // "Regular Italic" is the italic of the regular weight: "斜体", as
    // "Italic" is.
    if (japanese.size() > 1)
        std::erase(japanese, std::string("標準"));
    std::string joined;
    for (const std::string& name : japanese) {
        if (!joined.empty())
            joined += ' ';
        joined += name;
    }
    return joined;
}

std::vector<std::string> japaneseStyleNames(const std::vector<std::string>& styles) {
    std::vector<std::string> names;
    std::map<std::string, int> uses;
    for (const std::string& style : styles) {
        names.push_back(japaneseStyleName(style));
        ++uses[names.back()];
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (uses[names[i]] > 1)
            names[i] = styles[i];
    }
    return names;
}

}  // namespace korvane
