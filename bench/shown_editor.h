// An editor in a shown window, as the main window holds it, for the
// benchmarks that measure layout and painting.
#pragma once

#include <QCoreApplication>
#include <QVBoxLayout>
#include <QWidget>
#include <QtGlobal>

namespace korvane::bench {

// The Qt benchmarks measure layout and painting on the offscreen platform
// unless the caller chose a platform; call before creating the application.
inline void useOffscreenUnlessSet() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

template <typename Editor>
struct ShownEditor {
    QWidget frame;
    Editor* edit = new Editor(&frame);
    ShownEditor() {
        auto* layout = new QVBoxLayout(&frame);
        layout->addWidget(edit);
        frame.resize(900, 700);
        frame.show();
        QCoreApplication::processEvents();
    }
};

}  // namespace korvane::bench
