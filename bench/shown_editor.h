// An editor in a shown window, as the main window holds it, for the
// benchmarks that measure layout and painting.
#pragma once

#include <QCoreApplication>
#include <QVBoxLayout>
#include <QWidget>

namespace korvane::bench {

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
