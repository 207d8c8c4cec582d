#include "app/CAboutDlg.h"

#include "app/Icons.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("CAboutDlg"));
    // Title of the window-menu item this box stands for.
    setWindowTitle(QString::fromUtf8("关于 Lumidor"));
    auto *icon = new QLabel(this);
    icon->setPixmap(::windowIcon().pixmap(48, 48));
    auto *name = new QLabel(QStringLiteral("<b>Lumidor</b> version %1").arg(QStringLiteral(LUMIDOR_VERSION)), this);
    name->setObjectName(QStringLiteral("aboutName"));
    auto *notice = new QLabel(QStringLiteral("Viewer for OTDR trace files (SOR)."), this);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *texts = new QVBoxLayout;
    texts->addWidget(name);
    texts->addWidget(notice);
    auto *row = new QHBoxLayout;
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addLayout(texts, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    setFixedSize(sizeHint());
}
