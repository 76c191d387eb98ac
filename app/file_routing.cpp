#include "app/file_routing.h"

namespace korvane {

std::string_view extensionOf(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    return dot == std::string_view::npos ? std::string_view{} : path.substr(dot);
}

bool isHtmlFile(std::string_view path, OpenSource source) {
    const std::string_view ext = extensionOf(path);
    if (ext == ".htm" || ext == ".html")
        return true;
    return source == OpenSource::CommandLine && (ext == ".HTM" || ext == ".HTML");
}

bool isTextFile(std::string_view path) {
    return extensionOf(path) == ".txt";
}

namespace {

// kvnHtml for a page: 0 keeps it as it is, 1 opens it in tag mode, 2 strips
// its tags; other values do nothing (a hand-edited settings file).
Route kvnRoute(const RouteQuery& q, bool takesHere) {
    Route r;
    r.here = takesHere;
    const bool html = isHtmlFile(q.path, q.source);
    if (takesHere) {
        if (!html || q.kvnHtml == 0)
            r.step = HereStep::AsItIs;
        else if (q.kvnHtml == 1)
            r.step = HereStep::IntoTagMode;
        else if (q.kvnHtml == 2)
            r.step = HereStep::StripTags;
        else
            r.step = HereStep::NameOnly;
        r.highlightByDefault =
            q.source != OpenSource::CommandLine && r.step == HereStep::IntoTagMode;
        r.needsExistingFile = q.source == OpenSource::CommandLine;
        return r;
    }
    if (!html || q.kvnHtml == 0)
        r.copy = CopySwitch::Plain;
    else if (q.kvnHtml == 1)
        r.copy = CopySwitch::OpenAsHtml;
    else if (q.kvnHtml == 2)
        r.copy = CopySwitch::Convert;
    r.needsExistingFile = q.source != OpenSource::CommandLine;
    return r;
}

// mvxHtml for a text file opened in tag mode: 0 switches to text mode, 1
// converts it into a page; anything else is HTML source for tag mode.
Route mvxRoute(const RouteQuery& q, bool takesHere) {
    Route r;
    r.here = takesHere;
    const bool text = isTextFile(q.path);
    if (takesHere) {
        if (!text) {
            r.step = HereStep::AsTagSource;
            r.highlightByDefault = true;
        } else if (q.mvxHtml == 0) {
            r.step = HereStep::IntoTextMode;
        } else if (q.mvxHtml == 1) {
            r.step = HereStep::ConvertToHtml;
            r.highlightByDefault = true;
        } else {
            r.step = HereStep::NameOnly;
        }
        return r;
    }
    if (!text)
        r.copy = CopySwitch::OpenAsHtml;
    else if (q.mvxHtml == 0)
        r.copy = CopySwitch::Plain;
    else if (q.mvxHtml == 1)
        r.copy = CopySwitch::Convert;
    r.needsExistingFile = true;
    return r;
}

}  // namespace

Route routeFile(const RouteQuery& q) {
    // At start-up the document's name may already be a path that named no
    // file; the window still takes the next file while its editor is empty.
    const bool takesHere =
        q.source == OpenSource::CommandLine ? q.editorEmpty : q.untitled && q.editorEmpty;
    if (q.source == OpenSource::TagModeOpen)
        return mvxRoute(q, takesHere);
    return kvnRoute(q, takesHere);
}

std::vector<std::string> copyArguments(CopySwitch copy, std::string_view path) {
    switch (copy) {
        case CopySwitch::None:
            return {};
        case CopySwitch::Plain:
            return {std::string(path)};
        case CopySwitch::OpenAsHtml:
            return {"/h", std::string(path)};
        case CopySwitch::Convert:
            return {"/t", std::string(path)};
    }
    return {};
}

}  // namespace korvane
