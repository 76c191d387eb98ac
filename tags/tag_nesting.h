// The nesting rules of the page check (tags/page_check.h says them): the
// tags left open, the end tags without a start, the pairs that cross. Fed
// the tags of a page from left to right, it adds a finding for each.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "tags/page_check.h"
#include "tags/page_markup.h"

namespace korvane {

class TagNesting {
  public:
    explicit TagNesting(std::vector<Finding>& findings) : m_findings(findings) {}

    // A start tag of a tag with a role, at [offset, offset + length).
    void start(const markup::TagInfo& info, std::size_t offset, std::size_t length);
    // An end tag of a tag with a role.
    void end(const markup::TagInfo& info, std::size_t offset, std::size_t length);
    // The end of the page.
    void finish();

  private:
    struct OpenTag {
        markup::Tag tag;
        markup::Role role;
        std::size_t offset;
        std::size_t length;
    };

    static bool endsAt(markup::Tag open, markup::Tag starting);
    void add(std::size_t offset, std::size_t length, FindingKind kind, std::string message);
    void push(const OpenTag& open);
    void pop();
    void erase(std::size_t k);
    // Ends the block m_open[k] and whatever is open inside it.
    void closeFrom(std::size_t k);

    std::vector<Finding>& m_findings;
    std::vector<OpenTag> m_open;
    std::vector<std::size_t> m_blocks;  // where in m_open the blocks are
    std::array<std::size_t, static_cast<std::size_t>(markup::Tag::Count)> m_count{};
};

}  // namespace korvane
