#include "previewupdatedialog.h"

#include "dialoghelpers.h"

#include <QFontMetrics>
#include <QLabel>

PreviewUpdateDialog::PreviewUpdateDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName("PreviewUpdateDialog");
    m_labelContent = new QLabel(this);
    m_labelContent->setObjectName("labelContent");
    m_labelContent->setGeometry(60, 30, 180, 20);
    m_labelContent->setMinimumSize(180, 20);
    m_labelIcon = new QLabel(this);
    m_labelIcon->setObjectName("labelIcon");
    m_labelIcon->setGeometry(10, 20, 41, 41);
    setFixedSize(230, 80);

    Qt::WindowFlags flags = windowFlags();
    flags &= ~(Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint |
               Qt::WindowMaximizeButtonHint);
    setWindowFlags(flags | Qt::CustomizeWindowHint);
    setWindowTitle(tr("预览更新"));
    m_labelContent->setText(tr("预览结果更新中请稍后..."));
    fitTextToBox();
    dialoghelpers::showPicture(m_labelIcon, ":/ui/images/resume.png");
    dialoghelpers::centreOnDesktop(this);
    setWindowModality(Qt::ApplicationModal);
}

PreviewUpdateDialog::~PreviewUpdateDialog() = default;

// The text's label reaches past the box's right edge; with a large desktop
// font the notice would be cut off, so its font shrinks until it reads whole.
void PreviewUpdateDialog::fitTextToBox()
{
    const int room = width() - m_labelContent->x() - 2;
    QFont font = m_labelContent->font();
    while (QFontMetrics(font).horizontalAdvance(m_labelContent->text()) > room) {
        if (font.pointSizeF() > 6)
            font.setPointSizeF(font.pointSizeF() - 0.5);
        else if (font.pixelSize() > 8)
            font.setPixelSize(font.pixelSize() - 1);
        else
            break;
    }
    m_labelContent->setFont(font);
}
