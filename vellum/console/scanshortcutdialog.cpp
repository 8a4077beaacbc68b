#include "scanshortcutdialog.h"

#include "errorhandling.h"
#include "scanshortcutmenu.h"
#include "ui_saveasdialog.h"
#include "vellumglobal.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>

ScanShortcutDialog::ScanShortcutDialog(bool saveAs, ScanShortcutMenu *store, QWidget *parent)
    : QDialog(parent), ui(new Ui::SaveAsDialog), m_saveAs(saveAs), m_store(store)
{
    ui->setupUi(this);
    Qt::WindowFlags flags = windowFlags();
    flags &= ~(Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
               Qt::WindowContextHelpButtonHint);
    setWindowFlags(flags | Qt::CustomizeWindowHint);

    setWindowTitle(m_saveAs ? tr("另存为") : tr("重命名"));
    ui->labelShortcutName->setText(tr("快捷键名称 (&N)："));
    ui->labelShortcutName->setBuddy(ui->lineEditShortcutName);
    ui->labelGraphicsText->setText(tr("图形 (&G)"));
    ui->pushButtonBrowse->setText(tr("浏览..."));
    ui->pushButtonSave->setText(tr("确定"));
    ui->pushButtonCancel->setText(tr("取消"));

    connect(ui->pushButtonBrowse, &QPushButton::clicked, this,
            &ScanShortcutDialog::clickedBtnBrowse);
    connect(ui->pushButtonSave, &QPushButton::clicked, this, &ScanShortcutDialog::clickedBtnSave);
    connect(ui->pushButtonCancel, &QPushButton::clicked, this, &QDialog::reject);

    tagSCAN_SHORTCUT_MENU current;
    if (m_store && m_store->getCurrentScanShortcut(current)) {
        ui->lineEditShortcutName->setText(scanText(current.name));
        const QString icon = scanText(current.iconFile);
        for (const QString &dir :
             {g_VellumCfgFile.m_strTwainDir, g_VellumCfgFile.m_strProfileIconsDir}) {
            const QString path = dir + "/" + icon;
            if (!icon.isEmpty() && QFileInfo(path).isFile()) {
                ui->labelImage->setPixmap(QPixmap(path));
                break;
            }
        }
    }
}

ScanShortcutDialog::~ScanShortcutDialog()
{
    delete ui;
}

void ScanShortcutDialog::getScanShortcutInfo(QString &name, QString &icon) const
{
    name = m_profileName;
    icon = m_iconName;
}

QString ScanShortcutDialog::storeIconFile(const QString &imagePath, const QString &iconsDir)
{
    QImageReader reader(imagePath);
    if (!reader.canRead())
        return QString();
    QFile file(imagePath);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QCryptographicHash hash(QCryptographicHash::Md5);
    if (!hash.addData(&file))
        return QString();
    const QString name =
        QString::fromLatin1(hash.result().toHex()) + "." + QFileInfo(imagePath).suffix();
    QDir().mkpath(iconsDir);
    const QString target = iconsDir + "/" + name;
    if (!QFileInfo::exists(target) && !QFile::copy(imagePath, target))
        return QString();
    return name;
}

void ScanShortcutDialog::clickedBtnBrowse()
{
    const QString path =
        QFileDialog::getOpenFileName(this, tr("打开"), g_VellumCfgFile.m_strTwainDir,
                                     tr("所有影像文件 (*.bmp *.gif *.jpg *.jpeg *.png *.ico)"));
    if (path.isEmpty())
        return;
    // An unreadable file or one that is no image leaves the icon as it was.
    QImage picture(path);
    if (picture.isNull())
        return;
    const QString name = storeIconFile(path, g_VellumCfgFile.m_strProfileIconsDir);
    if (name.isEmpty())
        return;
    ui->labelImage->setPixmap(
        QPixmap::fromImage(picture.scaled(80, 80, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    m_iconName = name;
}

void ScanShortcutDialog::clickedBtnSave()
{
    const QString name = ui->lineEditShortcutName->text().trimmed();
    if (name.isEmpty()) {
        ErrorHandling::criticalMessage(this, tr("错误"), tr("快捷键名称不应该是空的！"));
        ui->lineEditShortcutName->setFocus();
        return;
    }
    if (m_saveAs && m_store) {
        tagSCAN_SHORTCUT_MENU p;
        for (int i = 0; i < m_store->getScanShortcutCount(); ++i) {
            if (m_store->getScanShortcutItem(i, p) && scanText(p.name) == name) {
                ErrorHandling::criticalMessage(this, tr("错误"),
                                               tr("“%1”已存在。\n请输入不同的名称。").arg(name));
                ui->lineEditShortcutName->setFocus();
                ui->lineEditShortcutName->selectAll();
                return;
            }
        }
    }
    m_profileName = name;
    accept();
}
