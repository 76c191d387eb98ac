#include "tags/tag_nesting.h"

#include <algorithm>
#include <utility>

namespace korvane {

using namespace markup;

// Whether a block that starts (`starting`) ends the open block `open`.
bool TagNesting::endsAt(Tag open, Tag starting) {
    switch (open) {
        case Tag::P:
            return true;
        case Tag::Li:
            return starting == Tag::Li;
        case Tag::Td:
        case Tag::Th:
            return starting == Tag::Td || starting == Tag::Th;
        default:
            return false;
    }
}

void TagNesting::start(const TagInfo& info, std::size_t offset, std::size_t length) {
    if (info.role != Role::Inline) {
        // A block ends the open-ended blocks that cannot hold it.
        while (!m_blocks.empty() && endsAt(m_open[m_blocks.back()].tag, info.tag))
            closeFrom(m_blocks.back());
    }
    push({info.tag, info.role, offset, length});
}

void TagNesting::end(const TagInfo& info, std::size_t offset, std::size_t length) {
    const auto index = static_cast<std::size_t>(info.tag);
    if (m_count[index] == 0) {
        add(offset, length, FindingKind::StrayEndTag,
            joined({"</", info.name, "> に対応する <", info.name, "> がありません"}));
        return;
    }
    std::size_t k = m_open.size() - 1;
    while (m_open[k].tag != info.tag)
        --k;
    if (k + 1 == m_open.size()) {
        pop();
        return;
    }
    if (info.role != Role::Inline) {
        closeFrom(k);
        return;
    }
    const OpenTag& inside = m_open[k + 1];
    const bool onlyOpenEnded =
        inside.role == Role::OpenEnd &&
        std::none_of(m_open.begin() + static_cast<std::ptrdiff_t>(k) + 1, m_open.end(),
                     [](const OpenTag& open) { return open.role == Role::Block; });
    if (onlyOpenEnded) {
        closeFrom(k + 1);
        pop();
        return;
    }
    add(offset, length, FindingKind::CrossedTags,
        joined({"</", info.name, "> より前に、その中で開いた <", nameOf(inside.tag),
                "> が閉じていません"}));
    erase(k);
}

void TagNesting::finish() {
    for (const OpenTag& open : m_open) {
        if (open.role == Role::Inline || open.role == Role::Block)
            add(open.offset, open.length, FindingKind::UnclosedTag,
                joined({"<", nameOf(open.tag), "> が閉じられないままページが終わっています"}));
    }
    m_open.clear();
    m_blocks.clear();
}

void TagNesting::add(std::size_t offset, std::size_t length, FindingKind kind,
                     std::string message) {
    m_findings.push_back({offset, length, 0, 0, kind, std::move(message)});
}

void TagNesting::push(const OpenTag& open) {
    if (open.role != Role::Inline)
        m_blocks.push_back(m_open.size());
    m_open.push_back(open);
    ++m_count[static_cast<std::size_t>(open.tag)];
}

void TagNesting::pop() {
    --m_count[static_cast<std::size_t>(m_open.back().tag)];
    if (!m_blocks.empty() && m_blocks.back() + 1 == m_open.size())
        m_blocks.pop_back();
    m_open.pop_back();
}

void TagNesting::erase(std::size_t k) {
    --m_count[static_cast<std::size_t>(m_open[k].tag)];
    m_open.erase(m_open.begin() + static_cast<std::ptrdiff_t>(k));
    for (std::size_t& block : m_blocks) {
        if (block > k)
            --block;
    }
}

// Ends the block m_open[k] and whatever is open inside it.
void TagNesting::closeFrom(std::size_t k) {
    Tag block = m_open[k].tag;
    for (std::size_t j = k + 1; j < m_open.size(); ++j) {
        const OpenTag& open = m_open[j];
        if (open.role == Role::Inline || open.role == Role::Block)
            add(open.offset, open.length, FindingKind::UnclosedTag,
                joined({"<", nameOf(open.tag), "> が閉じられないまま <", nameOf(block),
                        "> が終わっています"}));
        if (open.role != Role::Inline)
            block = open.tag;
    }
    while (m_open.size() > k)
        pop();
}

}  // namespace korvane
