#include "editor/text_fixups.h"

#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <utility>

#include "editor/qt_sjis.h"

namespace korvane {

void TextFixups::collect(const TextMirror& mirror, const std::vector<TextMirror::Problem>& problems,
                         std::size_t firstLine) {
    for (const TextMirror::Problem& p : problems) {
        const auto pos = static_cast<int>(mirror.lineStartUnit(firstLine + p.line) + p.unit);
        switch (p.kind) {
            case TextMirror::Problem::Kind::Merges:
                m_notice = QStringLiteral(
                    "壊れたバイトの後ろに置いた文字は、保存するとそのバイトと一つの文字になりま"
                    "す");
                break;
            case TextMirror::Problem::Kind::LineBreak:
                m_fixups.push_back({pos, static_cast<int>(p.length), QStringLiteral("\n")});
                break;
            case TextMirror::Problem::Kind::Replaced:
                m_fixups.push_back({pos, static_cast<int>(p.length), qstringOf(p.replacement)});
                break;
        }
    }
}

void TextFixups::collectWhole(const TextMirror& mirror,
                              const std::vector<TextMirror::Problem>& problems) {
    for (const TextMirror::Problem& p : problems) {
        if (p.kind == TextMirror::Problem::Kind::Merges)
            continue;
        m_fixups.push_back(
            {static_cast<int>(mirror.lineStartUnit(p.line) + p.unit), static_cast<int>(p.length),
             p.kind == TextMirror::Problem::Kind::LineBreak ? QStringLiteral("\n")
                                                            : qstringOf(p.replacement)});
    }
}

QStringList TextFixups::apply(QTextDocument& doc) {
    std::vector<Fixup> fixups = std::move(m_fixups);
    m_fixups.clear();
    std::sort(fixups.begin(), fixups.end(),
              [](const Fixup& a, const Fixup& b) { return a.position > b.position; });
    QStringList replaced;
    QTextCursor c(&doc);
    c.beginEditBlock();
    for (const Fixup& f : fixups) {
        c.setPosition(f.position);
        c.setPosition(f.position + f.length, QTextCursor::KeepAnchor);
        if (f.replacement != QStringLiteral("\n"))
            replaced.prepend(c.selectedText() + QStringLiteral("→") + f.replacement);
        c.insertText(f.replacement);
    }
    c.endEditBlock();
    return replaced;
}

QString TextFixups::takeNotice() {
    return std::exchange(m_notice, QString());
}

}  // namespace korvane
