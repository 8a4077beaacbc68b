#include "devicesaveasdialog.h"

#include "devicelogpackage.h"
#include "errorhandling.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextEdit>

DeviceSaveAsDialog::DeviceSaveAsDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName("DeviceSaveAsDialog");
    m_labelDescription = new QLabel(this);
    m_labelDescription->setObjectName("labelDescription");
    m_textEditDescription = new QTextEdit(this);
    m_textEditDescription->setObjectName("textEditDescription");
    m_labelFolder = new QLabel(this);
    m_labelFolder->setObjectName("labelFolder");
    m_lineEditFolder = new QLineEdit(this);
    m_lineEditFolder->setObjectName("lineEditFolder");
    m_pushButtonBrowse = new QPushButton(this);
    m_pushButtonBrowse->setObjectName("pushButtonBrowse");
    m_checkBoxIncludeTheDebugImage = new QCheckBox(this);
    m_checkBoxIncludeTheDebugImage->setObjectName("checkBoxIncludeTheDebugImage");
    m_pushButtonSave = new QPushButton(this);
    m_pushButtonSave->setObjectName("pushButtonSave");
    m_pushButtonExit = new QPushButton(this);
    m_pushButtonExit->setObjectName("pushButtonExit");
    m_labelDescription->setBuddy(m_textEditDescription);
    m_labelFolder->setBuddy(m_lineEditFolder);

    auto *grid = new QGridLayout(this);
    grid->addWidget(m_labelDescription, 0, 0, Qt::AlignTop);
    grid->addWidget(m_textEditDescription, 0, 1, 1, 2);
    grid->addWidget(m_labelFolder, 1, 0);
    grid->addWidget(m_lineEditFolder, 1, 1);
    grid->addWidget(m_pushButtonBrowse, 1, 2);
    grid->addWidget(m_checkBoxIncludeTheDebugImage, 2, 1, 1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_pushButtonSave);
    buttons->addWidget(m_pushButtonExit);
    grid->addLayout(buttons, 3, 0, 1, 3);
    resize(420, 260);

    Qt::WindowFlags flags = windowFlags();
    flags &= ~(Qt::WindowMaximizeButtonHint | Qt::WindowContextHelpButtonHint);
    setWindowFlags(flags | Qt::CustomizeWindowHint);
    connect(m_pushButtonBrowse, &QPushButton::clicked, this, &DeviceSaveAsDialog::clickedBtnBrowse);
    connect(m_pushButtonSave, &QPushButton::clicked, this, &DeviceSaveAsDialog::clickedBtnSave);
    connect(m_pushButtonExit, &QPushButton::clicked, this, &DeviceSaveAsDialog::clickedBtnExit);
    loadWordingList();
}

DeviceSaveAsDialog::~DeviceSaveAsDialog() = default;

void DeviceSaveAsDialog::loadWordingList()
{
    setWindowTitle(tr("另存为"));
    m_labelDescription->setText(tr("描述(&D):"));
    m_labelFolder->setText(tr("文件夹 (&F):"));
    m_pushButtonBrowse->setText(tr("浏览..."));
    m_checkBoxIncludeTheDebugImage->setText(tr("包括调试影像 (I)"));
    m_pushButtonSave->setText(tr("保存 (V)"));
    m_pushButtonExit->setText(tr("取消"));
}

void DeviceSaveAsDialog::clickedBtnBrowse()
{
    const QString current = m_lineEditFolder->text();
    const QString start = !current.isEmpty() && QFileInfo(current).isDir()
                              ? current
                              : QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString chosen = QFileDialog::getExistingDirectory(
        this, tr("浏览..."), start, QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
    if (!chosen.isEmpty() && QFileInfo(chosen).isDir())
        m_lineEditFolder->setText(chosen);
}

void DeviceSaveAsDialog::clickedBtnSave()
{
    // Only an existing folder is used: an empty field would otherwise mean
    // the root directory. The dialog stays open to choose another.
    const QString folder = m_lineEditFolder->text();
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        ErrorHandling::criticalMessage(this, RC_FILE_CREATE_FAILED, tr("另存为"));
        return;
    }
    // Hiding ends the modal run; the scanner is read afterwards.
    setResult(QDialog::Accepted);
    hide();
    const int rc = devicelog::writePackage(folder);
    if (rc != 0)
        ErrorHandling::criticalMessage(parentWidget(), rc, tr("另存为"));
}

void DeviceSaveAsDialog::clickedBtnExit()
{
    reject();
}
