#include "watermark.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QScopeGuard>

#include <algorithm>

namespace {

// 96 dots per inch.
constexpr int kPaintDotsPerMeter = 3780;

} // namespace

Watermark::Watermark(QObject *parent) : QObject(parent) {}

double Watermark::getRowSpace(int size)
{
    if (size > 20)
        return 2.5;
    if (size >= 16)
        return 4.0;
    return 5.0;
}

void Watermark::setWatermark(QImage &page, QString topRight, QString bottomRight, QString first,
                             QString second, QString family, int size)
{
    const int w = page.width();
    const int h = page.height();
    if (topRight.isEmpty() && bottomRight.isEmpty() && first.isEmpty() && second.isEmpty())
        return;
    // Indexed and mono pages cannot be painted on.
    if (page.format() == QImage::Format_Mono || page.format() == QImage::Format_MonoLSB ||
        page.format() == QImage::Format_Indexed8 || page.format() == QImage::Format_Grayscale8)
        page = page.convertToFormat(QImage::Format_RGB32);
    // Sizes are pixels of the page, whatever density the page file states:
    // point sizes are laid out at 96 dpi while painting, and the page keeps
    // its own density for the saved file.
    const int dpmX = page.dotsPerMeterX();
    const int dpmY = page.dotsPerMeterY();
    page.setDotsPerMeterX(kPaintDotsPerMeter);
    page.setDotsPerMeterY(kPaintDotsPerMeter);
    const auto restore = qScopeGuard([&] {
        page.setDotsPerMeterX(dpmX);
        page.setDotsPerMeterY(dpmY);
    });
    QPainter painter;
    if (!painter.begin(&page))
        return;
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setBackground(QBrush(Qt::transparent));
    painter.setBackgroundMode(Qt::OpaqueMode);
    if (!topRight.isEmpty() || !bottomRight.isEmpty())
        drawPageHeaderFooter(painter, w, h, topRight, bottomRight);
    if (!first.isEmpty() || !second.isEmpty())
        drawWatermark(painter, w, h, first, second, family, size);
    painter.end();
}

void Watermark::drawPageHeaderFooter(QPainter &painter, int width, int height, QString topRight,
                                     QString bottomRight)
{
    painter.save();
    // A page under 80 pixels would get point size 0, which Qt refuses.
    const int point = std::max(1, static_cast<int>(height / 800.0 * 10.0));
    QFont font(QStringLiteral("Arial"), point, 50, false);
    auto drawCorner = [&](const QString &text, bool top) {
        if (text.isEmpty())
            return;
        painter.setFont(font);
        painter.setPen(QColor(0, 0, 0, 200));
        painter.setBackground(QBrush(Qt::transparent));
        const QRect bound = painter.boundingRect(QRect(0, 0, 200, 200), Qt::AlignLeft, text);
        const int bw = bound.width();
        const int bh = bound.height();
        const QRect target(width - bw - 5, top ? 5 : height - bh - 5, bw, bh);
        painter.drawText(target, Qt::AlignLeft, text);
    };
    drawCorner(topRight, true);
    drawCorner(bottomRight, false);
    painter.restore();
}

int Watermark::drawWatermark(QPainter &painter, int width, int height, QString first,
                             QString second, QString family, int size)
{
    QFont font(family, std::max(1, size), 50, false);
    // Measured on the page painted, never on the screen.
    const QFontMetrics metrics(font, painter.device());
    const int w1 = metrics.horizontalAdvance(first);
    const int w2 = metrics.horizontalAdvance(second);
    const int lineHeight = metrics.height();
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1);
    painter.setFont(font);
    painter.setPen(QColor(150, 150, 150, 70));

    const double r = getRowSpace(size);
    const int x0 = static_cast<int>(40 / r);
    const int step = std::max(1, static_cast<int>(r * lineHeight));
    const int limit = 2 * std::max(width, height);
    if (limit <= 100)
        return 0;
    int rows = 0;
    for (int n = 0, y = 100;; ++n, y += step) {
        const bool even = (n % 2) == 0;
        QString text;
        int measured;
        if (even) {
            text = first.isEmpty() ? second : first;
            measured = first.isEmpty() ? w2 : w1;
        } else {
            text = second.isEmpty() ? first : second;
            measured = second.isEmpty() ? w1 : w2;
        }
        const int advance = static_cast<int>(1.5 * measured);
        // A text without width would never leave its row.
        if (advance > 0) {
            painter.translate(x0, y);
            painter.rotate(-45);
            const int end = static_cast<int>(y / 0.707106771713121);
            for (int x = x0; x < end; x += advance)
                painter.drawText(QPoint(x, 0), text);
            painter.resetTransform();
            ++rows;
        }
        if (y + step >= limit)
            break;
    }
    return rows;
}
