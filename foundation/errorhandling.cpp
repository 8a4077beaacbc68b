#include "errorhandling.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

namespace {

struct CodeText {
    int code;
    const char *text;
};

const CodeText kTexts[] = {
    {-1, "扫描失败"},
    {-3, "扫描仪输入输出超时"},
    {-4, "扫描仪输入输出错误"},
    {-5, "扫描仪读数据失败，请重试"},
    {-6, "扫描仪写数据失败，请重试"},
    {-7, "无法连接设备，请检查设备是否已经准备就绪。"},
    {-8, "扫描仪设备正忙，请稍后再试！"},
    {-9, "扫描仪唤醒失败，请稍后再试！"},
    {-10, "扫描仪唤醒成功！"},
    {-11, "扫描仪锁失败！"},
    {-12, "扫描仪解锁失败！"},
    {-20, "检测不到纸张，请在托盘内放入纸张后重新扫描！"},
    {-21, "结束输出"},
    {-22, "传输板卡纸，超过最大长度，\n\n请清除路径纸张，然后重新扫描！"},
    {-23, "重张进纸。\n\n请清除纸张路径，然后重新扫描！"},
    {-24, "扫描仪预热"},
    {-25, "扫描仪护盖未关闭！\n\n请关闭护盖后重试！"},
    {-26, "扫描仪检测"},
    {-27, "未检测到白色斑点区域！"},
    {-28, "打印头不存在！"},
    {-29, "清除图像指南"},
    {-30, "进纸盒不存在！"},
    {-31, "风格获取失败！"},
    {-32, "风格不唯一！"},
    {-33, "扫描仪状态获取失败！"},
    {-35, "文档进纸器未检测到纸张！"},
    {-50, "文件路径无效！\n\n文件创建失败！"},
    {-51, "用户取消保存！"},
    {-52, "文件读取失败！"},
    {-60, "图像解析失败！"},
};

int showBox(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text)
{
    QMessageBox box(icon, title, text, QMessageBox::NoButton, parent);
    box.addButton(QObject::tr("确定"), QMessageBox::AcceptRole);
    return box.exec();
}

} // namespace

void ErrorHandling::errorCode(int code, QString &text)
{
    for (const CodeText &entry : kTexts) {
        if (entry.code == code) {
            text = QObject::tr(entry.text);
            return;
        }
    }
}

int ErrorHandling::criticalMessage(QWidget *parent, int code, QString title)
{
    if (code == RC_CANCELLED || code == RC_NONE || code == RC_OK)
        return 0;
    QString text;
    errorCode(code, text);
    if (text.isEmpty())
        text = QString("Error code:%1").arg(code);
    return criticalMessage(parent, title, text);
}

int ErrorHandling::criticalMessage(QWidget *parent, QString title, QString text)
{
    return showBox(parent, QMessageBox::Critical, title, text);
}

int ErrorHandling::warningMessage(QWidget *parent, QString title, QString text)
{
    return showBox(parent, QMessageBox::Warning, title, text);
}

int ErrorHandling::informationMessage(QWidget *parent, QString title, QString text)
{
    return showBox(parent, QMessageBox::Information, title, text);
}

int ErrorHandling::questionMessage(QWidget *parent, QString title, QString text, int buttons,
                                   int defaultButton)
{
    if (buttons != OkCancel && buttons != YesNo && buttons != YesNoCancel)
        return Cancel;

    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
    box.setWindowFlags(box.windowFlags() | Qt::WindowStaysOnTopHint);

    QPushButton *ok = nullptr, *yes = nullptr, *no = nullptr, *cancel = nullptr;
    if (buttons == OkCancel) {
        ok = box.addButton(QObject::tr("确定"), QMessageBox::AcceptRole);
        cancel = box.addButton(QObject::tr("取消"), QMessageBox::RejectRole);
    } else {
        yes = box.addButton(QObject::tr("是"), QMessageBox::YesRole);
        no = box.addButton(QObject::tr("否"), QMessageBox::NoRole);
        if (buttons == YesNoCancel)
            cancel = box.addButton(QObject::tr("取消"), QMessageBox::RejectRole);
    }
    // Later tests win when several default bits are set.
    if (ok && (defaultButton & Ok))
        box.setDefaultButton(ok);
    if (yes && (defaultButton & Yes))
        box.setDefaultButton(yes);
    if (no && (defaultButton & No))
        box.setDefaultButton(no);
    if (cancel && (defaultButton & Cancel))
        box.setDefaultButton(cancel);

    box.exec();
    QAbstractButton *clicked = box.clickedButton();
    if (clicked && clicked == ok)
        return Ok;
    if (clicked && clicked == yes)
        return Yes;
    if (clicked && clicked == no)
        return No;
    return Cancel;
}
