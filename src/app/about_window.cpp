#include "app/about_window.h"

#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "app/appearance.h"
#include "families/families.h"
#include "trades/releases.h"
#include "version.h"

namespace kestrane {

AboutWindow::AboutWindow(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("About"));
    setWindowIcon(appIcon());
    setAttribute(Qt::WA_DeleteOnClose);  // "OK" and the close box unload it
    setModal(false);
    setFixedSize(356, 125);

    const QFont labelFont = classicFont({QStringLiteral("Arial")});

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setGeometry(264, 24, 81, 25);
    ok->setAutoDefault(false);
    ok->setDefault(false);
    connect(ok, &QPushButton::clicked, this, &QDialog::close);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setGeometry(16, 24, 32, 32);
    picture->setPixmap(artwork(QStringLiteral("icon-32")));

    auto* title = new QLabel(QStringLiteral("Kestrane v%1.%2").arg(kVersionMajor).arg(kVersionMinor), this);
    title->setObjectName(QStringLiteral("Label1"));
    title->setGeometry(112, 16, 89, 17);

    auto* copyright = new QLabel(kCopyrightLine, this);
    copyright->setObjectName(QStringLiteral("Label2"));
    copyright->setGeometry(96, 40, 121, 17);

    auto* about = new QLabel(QStringLiteral("A tool to change the Pok\u00e9mon trades in ") +
                                 fromCore(platformsText(families::all())) +
                                 QStringLiteral(" Pok\u00e9mon ROMs. Thanks to our two contributors for the artwork and the "
                                                "table checks."),
                             this);
    about->setObjectName(QStringLiteral("Label3"));
    about->setGeometry(8, 72, 353, 41);
    about->setWordWrap(true);
    // The label reaches 5 pixels past the window's edge; wrap before it.
    about->setContentsMargins(0, 0, 8, 0);
    about->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    for (QLabel* label : {title, copyright, about}) label->setFont(labelFont);
    ok->setFocus();
}

void AboutWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

}  // namespace kestrane
