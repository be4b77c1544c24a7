// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

// kestrova-render: draws each registered dialog offscreen into a PNG file, for the
// README and for review. Usage: kestrova-render [output folder, default docs]

#include "render/RenderRegistry.h"
#include "res/ResourceImages.h"
#include "ui/qt/Translations.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>

namespace kestrova::render {

namespace {

std::vector<RegisteredDialog>& Registry() {
    static std::vector<RegisteredDialog> dialogs;
    return dialogs;
}

// Answers every box with its default and draws nothing.
class SilentBoxes : public BoxPresenter {
public:
    BoxAnswer present(QWidget*, const QString&, const QString&, BoxStyle style) override {
        return style == BoxStyle::YesNoQuestion ? BoxAnswer::No : BoxAnswer::Ok;
    }
};

// The client area under a plain caption bar with the window's icon and title.
QImage Framed(QWidget& window) {
    const QPixmap client = window.grab();
    const int border = 1;
    const int captionHeight = 26;
    QImage image(client.width() + 2 * border, client.height() + captionHeight + border,
                 QImage::Format_RGB32);
    image.fill(QColor(0x55, 0x55, 0x55));
    QPainter painter(&image);
    const QRect caption(border, border, client.width(), captionHeight - border);
    painter.fillRect(caption, QColor(0x2b, 0x4a, 0x7a));
    const QIcon icon = window.windowIcon();
    int textLeft = caption.left() + 6;
    if (!icon.isNull()) {
        icon.paint(&painter, QRect(textLeft, caption.top() + (caption.height() - 16) / 2, 16, 16));
        textLeft += 22;
    }
    painter.setPen(Qt::white);
    QFont font = window.font();
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(caption.adjusted(textLeft - caption.left(), 0, 0, 0),
                     Qt::AlignLeft | Qt::AlignVCenter, window.windowTitle());
    painter.drawPixmap(border, captionHeight, client);
    return image;
}

} // namespace

RenderEntry::RenderEntry(const char* fileName, DialogMaker make) {
    Registry().push_back({QString::fromUtf8(fileName), std::move(make)});
}

const std::vector<RegisteredDialog>& RegisteredDialogs() {
    return Registry();
}

} // namespace kestrova::render

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    kestrova::UseTranslations(app);
    kestrova::InitResources();
    QApplication::setWindowIcon(QIcon(kestrova::ResourceImagePath(128)));
    const QDir output(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs"));
    if (!output.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "kestrova-render: cannot create %s\n", qPrintable(output.path()));
        return 1;
    }

    kestrova::render::SilentBoxes boxes;
    kestrova::MessageBoxRoutine messages(boxes);
    int failures = 0;
    for (const auto& dialog : kestrova::render::RegisteredDialogs()) {
        QTemporaryDir scratch;
        kestrova::render::RenderContext context{messages, scratch.path()};
        std::unique_ptr<QWidget> window = dialog.make(context);
        messages.setMainWindow(window.get());
        window->show();
        QApplication::processEvents();
        const QString path = output.filePath(dialog.fileName);
        if (kestrova::render::Framed(*window).save(path)) {
            std::printf("%s\n", qPrintable(path));
        } else {
            std::fprintf(stderr, "kestrova-render: cannot write %s\n", qPrintable(path));
            ++failures;
        }
        window->hide();
        messages.setMainWindow(nullptr);
    }
    return failures == 0 ? 0 : 1;
}
