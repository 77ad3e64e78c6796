// SPDX-License-Identifier: GPL-3.0-or-later
#include "RowToolTip.h"

#include <QBuffer>
#include <QByteArray>
#include <QList>

#include "BlockTip.h"
#include "ReadScreen.h"
#include "TapeText.h"

namespace brisalto {

namespace {

// Fast compression: the picture of flat colours stays small, and the tooltip is made anew
// each time it shows.
constexpr int kPngQuality = 90;

// The picture as an image the tooltip's rich text can hold inline.
QString InlinePng(const QImage& image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG", kPngQuality)) return {};
    return QStringLiteral("<p><img src=\"data:image/png;base64,%1\"></p>")
        .arg(QString::fromLatin1(png.toBase64()));
}

}  // namespace

QImage ScreenImage(const ScreenPixels& pixels, int scale) {
    QImage image(kScreenWidth, kScreenHeight, QImage::Format_Indexed8);
    QList<QRgb> colours;
    for (const std::uint32_t rgb : kSpectrumPalette)
        colours.append(qRgb(int(rgb >> 16 & 0xFF), int(rgb >> 8 & 0xFF), int(rgb & 0xFF)));
    image.setColorTable(colours);
    for (int y = 0; y < kScreenHeight; ++y) {
        const std::uint8_t* row = pixels.data() + std::size_t(y) * kScreenWidth;
        std::copy(row, row + kScreenWidth, image.scanLine(y));
    }
    if (scale == 1) return image;
    return image.scaled(scale * kScreenWidth, scale * kScreenHeight, Qt::IgnoreAspectRatio,
                        Qt::FastTransformation);
}

QString RowToolTip(const CatalogueRow& row, const TapeDocument* tape, const ScreenPlace* screen) {
    const BlockTip tip = DescribeBlock(row);
    // Rich text always, so that a name holding '<' is shown as it is; pre keeps its spaces.
    QString html = QStringLiteral("<p style=\"white-space:pre\">");
    for (std::size_t i = 0; i < tip.lines.size(); ++i) {
        if (i > 0) html += QStringLiteral("<br>");
        html += TapeText(tip.lines[i]).toHtmlEscaped();
    }
    html += QStringLiteral("</p>");
    ScreenPixels pixels;
    if (screen != nullptr && tape != nullptr && ReadScreen(*tape, *screen, pixels)) {
        html += InlinePng(ScreenImage(pixels, 2));
    }
    return html;
}

}  // namespace brisalto
