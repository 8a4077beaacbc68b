#include "aboutdialog.h"

#include <QApplication>
#include <QDesktopWidget>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSpacerItem>
#include <QTextEdit>

#ifdef VELLUM_LIBRARY
// A static build of the console (its tests) registers the picture and the
// licence page only when asked. The launcher, which compiles this box too,
// gets them from the console's shared library that it links.
static void initAboutResources()
{
    Q_INIT_RESOURCE(preview);
}
#endif

AboutDialog::AboutDialog(QWidget *parent) : QDialog(parent)
{
#ifdef VELLUM_LIBRARY
    initAboutResources();
#endif
    setObjectName("AboutDialog");
    resize(432, 392);
    setModal(true);
    auto *grid = new QGridLayout(this);
    grid->setObjectName("gridLayout");
    m_labelAboutImage = new QLabel(this);
    m_labelAboutImage->setObjectName("labelAboutImage");
    m_labelAboutImage->setFixedSize(64, 64);
    m_labelName = new QLabel(this);
    m_labelName->setObjectName("labelName");
    m_labelVersion = new QLabel(this);
    m_labelVersion->setObjectName("labelVersion");
    m_textEditLicense = new QTextEdit(this);
    m_textEditLicense->setObjectName("textEditLicense");
    m_pushButtonOK = new QPushButton(this);
    m_pushButtonOK->setObjectName("pushButtonOK");
    grid->addWidget(m_labelAboutImage, 0, 0, 2, 1);
    grid->addWidget(m_labelName, 0, 1);
    grid->addWidget(m_labelVersion, 1, 1);
    grid->addWidget(m_textEditLicense, 2, 0, 1, 3);
    grid->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum), 3, 1);
    grid->addWidget(m_pushButtonOK, 3, 2);

    initDialog();
    adjustWindow();
}

AboutDialog::~AboutDialog() = default;

QString AboutDialog::versionLine()
{
    return QString("%1 %2.%3.%4%5")
        .arg(tr("版本信息:"), QStringLiteral("5"), QStringLiteral("0"), QStringLiteral("13"),
             QString());
}

void AboutDialog::initDialog()
{
    Qt::WindowFlags flags = windowFlags();
    flags &= ~(Qt::WindowMaximizeButtonHint | Qt::WindowContextHelpButtonHint);
    setWindowFlags(flags | Qt::CustomizeWindowHint);
    loadWordingList();
    connect(m_pushButtonOK, &QPushButton::clicked, this, &QDialog::accept);
    loadIcon();
    loadLicenseFile();
}

void AboutDialog::loadWordingList()
{
    setWindowTitle(tr("关于"));
    QFont font = m_labelName->font();
    font.setBold(true);
    font.setWeight(75);
    font.setPointSize(13);
    m_labelName->setFont(font);
    m_labelName->setText(tr("CorvanDeskscope VR516"));
    m_labelVersion->setFont(font);
    m_labelVersion->setText(versionLine());
    m_pushButtonOK->setText(tr("确定"));
}

void AboutDialog::loadIcon()
{
    m_labelAboutImage->setPixmap(QPixmap(":/ui/images/about-scanner.png"));
    m_labelAboutImage->setAlignment(Qt::AlignCenter);
    m_labelAboutImage->setScaledContents(true);
}

void AboutDialog::loadLicenseFile()
{
    QFile file(":/license/res/userlicense.htm");
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray html = file.readAll();
        file.close();
        m_textEditLicense->setHtml(QString::fromUtf8(html));
    }
    m_textEditLicense->setReadOnly(true);
}

void AboutDialog::adjustWindow()
{
    const QRect desktop = QApplication::desktop()->geometry();
    move((desktop.width() - width()) / 2, (desktop.height() - height()) / 2);
}
