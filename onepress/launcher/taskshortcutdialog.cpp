#include "taskshortcutdialog.h"

#include "errorhandling.h"
#include "launcherprompts.h"
#include "onepressglobal.h"
#include "taskshortcut.h"

#include <QCryptographicHash>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSpacerItem>
#include <QVBoxLayout>

namespace {

QString systemChooser(QWidget *parent, const QString &caption, const QString &dir,
                      const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString (*g_chooser)(QWidget *, const QString &, const QString &, const QString &) = systemChooser;

// The task's own picture fills the label; a chosen one keeps its proportions.
void showImage(QLabel *label, const QPixmap &pixmap, bool fill)
{
    label->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    label->setScaledContents(fill);
    label->setPixmap(fill ? pixmap
                          : pixmap.scaled(80, 80, Qt::KeepAspectRatio, Qt::FastTransformation));
}

} // namespace

void Ui_TaskShortcutDialog::setupUi(QDialog *dialog)
{
    if (dialog->objectName().isEmpty())
        dialog->setObjectName("TaskShortcutDialog");
    dialog->resize(306, 218);
    dialog->setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    auto *outer = new QVBoxLayout(dialog);
    outer->setObjectName("verticalLayout_2");
    auto *top = new QVBoxLayout();
    top->setObjectName("verticalLayout");
    labelText = new QLabel(dialog);
    labelText->setObjectName("labelText");
    lineEditText = new QLineEdit(dialog);
    lineEditText->setObjectName("lineEditText");
    top->addWidget(labelText);
    top->addWidget(lineEditText);
    outer->addLayout(top);
    auto *graphics = new QHBoxLayout();
    graphics->setObjectName("horizontalLayout_2");
    labelGraphicsText = new QLabel(dialog);
    labelGraphicsText->setObjectName("labelGraphicsText");
    graphics->addWidget(labelGraphicsText);
    outer->addLayout(graphics);
    auto *grid = new QGridLayout();
    grid->setObjectName("gridLayout");
    grid->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum), 0, 0);
    labelImage = new QLabel(dialog);
    labelImage->setObjectName("labelImage");
    labelImage->setFixedSize(80, 80);
    labelImage->setLineWidth(0);
    grid->addWidget(labelImage, 0, 1);
    grid->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum), 0, 2);
    outer->addLayout(grid);
    outer->addItem(new QSpacerItem(20, 10, QSizePolicy::Minimum, QSizePolicy::Expanding));
    auto *buttons = new QHBoxLayout();
    buttons->setObjectName("horizontalLayout");
    buttons->addStretch();
    pushButtonBrowse = new QPushButton(dialog);
    pushButtonBrowse->setObjectName("pushButtonBrowse");
    pushButtonOK = new QPushButton(dialog);
    pushButtonOK->setObjectName("pushButtonOK");
    pushButtonCancel = new QPushButton(dialog);
    pushButtonCancel->setObjectName("pushButtonCancel");
    buttons->addWidget(pushButtonBrowse);
    buttons->addWidget(pushButtonOK);
    buttons->addWidget(pushButtonCancel);
    outer->addLayout(buttons);
    QWidget::setTabOrder(lineEditText, pushButtonOK);
    QWidget::setTabOrder(pushButtonOK, pushButtonCancel);
}

TaskShortcutDialog::TaskShortcutDialog(bool create, TaskShortcut *store, QWidget *parent)
    : QDialog(parent), ui(new Ui_TaskShortcutDialog), m_bCreate(create), m_pStore(store)
{
    ui->setupUi(this);
    initDialog();
    centreOnDesktop(this);
}

TaskShortcutDialog::~TaskShortcutDialog()
{
    delete ui;
}

void TaskShortcutDialog::setFileChooser(QString (*chooser)(QWidget *, const QString &,
                                                           const QString &, const QString &))
{
    g_chooser = chooser ? chooser : systemChooser;
}

void TaskShortcutDialog::initDialog()
{
    Qt::WindowFlags flags = windowFlags();
    flags &= ~(Qt::WindowContextHelpButtonHint | Qt::WindowMaximizeButtonHint);
    setWindowFlags(flags | Qt::CustomizeWindowHint);
    loadWordingList();
    connectMessages();
    loadResource();
}

void TaskShortcutDialog::loadWordingList()
{
    setWindowTitle(m_bCreate ? tr("新建快捷键") : tr("重命名快捷键"));
    ui->labelText->setText(tr("文本"));
    ui->labelGraphicsText->setText(tr("图形"));
    ui->pushButtonBrowse->setText(tr("浏览..."));
    ui->pushButtonOK->setText(tr("确定"));
    ui->pushButtonCancel->setText(tr("取消"));
    ui->lineEditText->setMaxLength(75);
    QPalette palette = ui->labelImage->palette();
    palette.setBrush(QPalette::All, QPalette::Window, QBrush(Qt::white));
    ui->labelImage->setPalette(palette);
    ui->labelImage->setAutoFillBackground(true);
}

void TaskShortcutDialog::connectMessages()
{
    connect(ui->pushButtonBrowse, &QPushButton::clicked, this,
            &TaskShortcutDialog::clickedBtnBrowse);
    connect(ui->pushButtonOK, &QPushButton::clicked, this, &TaskShortcutDialog::clickedBtnOK);
    connect(ui->pushButtonCancel, &QPushButton::clicked, this, &TaskShortcutDialog::reject);
}

void TaskShortcutDialog::loadResource()
{
    if (m_bCreate) {
        showImage(ui->labelImage, QPixmap(":/filetype/images/Color-PDF.png"), true);
        m_strIcon = "Color-PDF.png";
        return;
    }
    tagTASK_SHORTCUT task;
    m_pStore->getCurrentTaskShortcut(task);
    ui->lineEditText->setText(task.Name);
    const QString app = g_ConfigFile.m_strAppIconsDir + "/" + task.Icon;
    const QString user = g_ConfigFile.m_strSettingsIconsDir + "/" + task.Icon;
    if (!task.Icon.isEmpty() && QFileInfo(app).isFile())
        showImage(ui->labelImage, QPixmap(app), true);
    else if (!task.Icon.isEmpty() && QFileInfo(user).isFile())
        showImage(ui->labelImage, QPixmap(user), true);
}

QString TaskShortcutDialog::storeIcon(const QString &file, QString *problem)
{
    QFile source(file);
    if (!source.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray bytes = source.readAll();
    const QString stem =
        QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex());
    const QString folder = g_ConfigFile.m_strSettingsIconsDir;
    const QString name = stem + "." + QFileInfo(file).suffix();
    const QString target = folder + "/" + name;
    if (QFileInfo::exists(target))
        return name;
    QFile copy(target);
    if (!QDir().mkpath(folder) || !copy.open(QIODevice::ReadWrite) ||
        copy.write(bytes) != bytes.size() || !copy.flush()) {
        copy.remove();
        if (problem)
            *problem = target;
        return QString();
    }
    return name;
}

void TaskShortcutDialog::clickedBtnBrowse()
{
    const QString file = g_chooser(this, tr("打开"), g_ConfigFile.m_strAppIconsDir,
                                   tr("所有影像文件 (*.bmp *.gif *.jpg *.jpeg *.png *.ico)"));
    if (file.isEmpty() || !QFileInfo::exists(file))
        return;
    const QPixmap pixmap(file);
    if (pixmap.isNull()) {
        ErrorHandling::informationMessage(this, tr("警告"), tr("图像文件读取失败！"));
        return;
    }
    showImage(ui->labelImage, pixmap, false);
    QString problem;
    const QString name = storeIcon(file, &problem);
    // A picture that could not be stored is not named, so no task points at
    // a missing file; the previous icon name stays.
    if (name.isEmpty())
        qDebug() << "TaskShortcutDialog: the picture could not be stored as" << problem;
    else
        m_strIcon = name;
}

void TaskShortcutDialog::clickedBtnOK()
{
    const QString name = ui->lineEditText->text().trimmed();
    if (name.isEmpty()) {
        ErrorHandling::criticalMessage(this, tr("错误"), tr("名称不应该是空的！"));
        ui->lineEditText->setFocus();
        return;
    }
    if (!m_bCreate) {
        tagTASK_SHORTCUT current;
        m_pStore->getCurrentTaskShortcut(current);
        if (current.Name == name) {
            accept();
            return;
        }
    }
    for (int i = 0; i < TaskShortcut::kSlotCount; ++i) {
        tagTASK_SHORTCUT task;
        if (m_pStore->enumTaskShortcut(i, task) && task.EnableCommand && task.Name == name) {
            ErrorHandling::criticalMessage(this, tr("错误"), tr("任务快捷键名称已存在！"));
            ui->lineEditText->setFocus();
            ui->lineEditText->selectAll();
            return;
        }
    }
    m_strName = name;
    accept();
}

void TaskShortcutDialog::getTaskShortcutInfo(QString &name, QString &icon)
{
    name = m_strName;
    icon = m_strIcon;
}
