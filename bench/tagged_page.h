// The 1 MB tag-mode page the Qt benchmarks share, and a keystroke in it.
#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include <cstddef>
#include <iterator>
#include <random>
#include <string>

namespace korvane::bench {

// A hand-written page: Japanese prose with a tag every 23 bytes or so,
// about 45,000 tags in 1 MB.
inline const std::string& taggedPage() {
    static const std::string text = [] {
        const char* words[] = {"\x8d\xa1\x93\xfa\x82\xcd",
                               "\x82\xa2\x82\xa2\x93\x56\x8b\x43",
                               "\x82\xc5\x82\xb7\x81\x42",
                               "\x95\x5c\x8e\xa6",
                               "abc ",
                               "\x81\x41"};
        const char* tags[] = {"<B>",     "</B>",     "<A href=\"index.htm\">",
                              "</A>",    "<BR>\r\n", "<FONT color=\"#FF0000\">",
                              "</FONT>", "<P>\r\n",  "<I>",
                              "</I>"};
        std::mt19937 rng(3);
        std::string s = "<HTML><HEAD><TITLE>bench</TITLE></HEAD><BODY>\r\n";
        while (s.size() < (1u << 20)) {
            for (unsigned k = 1 + rng() % 5; k > 0; --k)
                s += words[rng() % std::size(words)];
            s += tags[rng() % std::size(tags)];
        }
        return s + "</BODY></HTML>";
    }();
    return text;
}

// A place in the middle of the page just before a ">": typing there
// changes a tag.
inline std::size_t insideATag() {
    const std::string& s = taggedPage();
    return s.find('>', s.size() / 2);
}

inline void typeX(QWidget* target) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QApplication::sendEvent(target, &press);
    QCoreApplication::processEvents();  // the paint of what changed
}

// "x" and Backspace: the page stays the same however many rounds run, so
// the rows that share the large editor measure the same paragraph.
// Not inlined, so that an instruction count can be limited to it.
[[gnu::noinline]] inline void typeAndEraseX(QWidget* target) {
    typeX(target);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QCoreApplication::processEvents();
}

}  // namespace korvane::bench
