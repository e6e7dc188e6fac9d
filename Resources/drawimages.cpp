// Draws the module's images at build time, each at 1x and at 2x ("name@2x.png",
// which Qt picks on high-DPI screens).
//
// Usage: cellora-drawimages OUTPUT_FOLDER [NAME...]
// Without names every image is drawn; an unknown name is an error, so the build
// cannot list an image that nobody draws.

#include <QColor>
#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPen>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <iterator>

namespace {

const QColor iconGrey(0x70, 0x70, 0x70);
const QColor signBlack(0x1e, 0x1e, 0x1e);
const QColor outlineDark(0x3a, 0x3f, 0x44);
const QColor greenLight(0x8b, 0xe0, 0x6c);
const QColor greenDark(0x2e, 0x9d, 0x46);
const QColor redLight(0xff, 0x6b, 0x5e);
const QColor redDark(0xc6, 0x28, 0x28);

// Stroke of the plus, pencil and minus signs, on their 60 x 60 grid.
constexpr qreal signStroke = 8;

// A rounded rectangle whose corners inside squarePart stay square: the side
// where a terminal or an eraser meets the rest.
QPainterPath roundedOnOneSide(const QRectF &rect, qreal radius, const QRectF &squarePart)
{
    QPainterPath rounded;
    rounded.addRoundedRect(rect, radius, radius);
    QPainterPath square;
    square.addRect(squarePart);
    return rounded.united(square);
}

QPen roundPen(const QColor &color, qreal width)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A top-to-bottom gradient over a rectangle, lighter at the top for some depth.
QLinearGradient verticalGradient(const QRectF &rect, const QColor &top, const QColor &bottom)
{
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    return gradient;
}

// Three bars; edges on whole pixels at 64 and 128.
void drawMenu(QPainter &painter)
{
    painter.setPen(roundPen(iconGrey, 8));
    for (const qreal y : { 16, 32, 48 })
        painter.drawLine(QPointF(11, y), QPointF(53, y));
}

// A solid house with overhanging eaves and a door cut out of it.
void drawHome(QPainter &painter)
{
    QPainterPath roofLine;
    roofLine.moveTo(6, 31);
    roofLine.lineTo(32, 8);
    roofLine.lineTo(58, 31);
    QPainterPathStroker stroker;
    stroker.setWidth(7);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);

    QPainterPath body;
    body.moveTo(14, 24);
    body.lineTo(32, 8);
    body.lineTo(50, 24);
    body.lineTo(50, 53);
    body.quadTo(50, 56, 47, 56);
    body.lineTo(17, 56);
    body.quadTo(14, 56, 14, 53);
    body.closeSubpath();

    QPainterPath door;
    door.addRoundedRect(QRectF(27, 39, 10, 20), 2, 2);

    const QPainterPath house = stroker.createStroke(roofLine).united(body).subtracted(door);
    painter.fillPath(house, iconGrey);
}

void drawPlus(QPainter &painter)
{
    painter.setPen(roundPen(signBlack, signStroke));
    painter.drawLine(QPointF(12, 30), QPointF(48, 30));
    painter.drawLine(QPointF(30, 12), QPointF(30, 48));
}

void drawMinus(QPainter &painter)
{
    painter.setPen(roundPen(signBlack, signStroke));
    painter.drawLine(QPointF(12, 30), QPointF(48, 30));
}

// A pencil lying from bottom left (tip) to top right (eraser); drawn along the
// x axis, then turned, so the parts stay exact rectangles and triangles.
void drawPencil(QPainter &painter)
{
    painter.translate(30, 30);
    painter.rotate(-45);
    constexpr qreal half = signStroke; // half the pencil's width

    QPainterPath tip;
    tip.moveTo(-27, 0);
    tip.lineTo(-15, -half);
    tip.lineTo(-15, half);
    tip.closeSubpath();
    painter.fillPath(tip, signBlack);

    painter.fillRect(QRectF(-12, -half, 26, 2 * half), signBlack);

    painter.fillPath(
        roundedOnOneSide(QRectF(17, -half, 10, 2 * half), 3, QRectF(17, -half, 4, 2 * half)),
        signBlack);
}

// An upright battery, full: four green cells inside a dark case with a terminal.
void drawBatteryPicture(QPainter &painter)
{
    const QRectF terminal(62, 13, 36, 16);
    painter.fillPath(roundedOnOneSide(terminal, 5, terminal.adjusted(0, 8, 0, 0)), outlineDark);

    const QRectF caseRect(40, 27, 80, 120);
    painter.setPen(QPen(outlineDark, 8, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(caseRect.adjusted(4, 4, -4, -4), 12, 12);

    constexpr int cells = 4;
    constexpr qreal gap = 5;
    const QRectF inside = caseRect.adjusted(14, 14, -14, -14);
    const qreal cellHeight = (inside.height() - (cells - 1) * gap) / cells;
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < cells; ++i) {
        const QRectF cell(
            inside.left(), inside.top() + i * (cellHeight + gap), inside.width(), cellHeight);
        QLinearGradient shine(cell.topLeft(), cell.topRight());
        shine.setColorAt(0, greenDark);
        shine.setColorAt(0.35, greenLight);
        shine.setColorAt(1, greenDark);
        painter.setBrush(shine);
        painter.drawRoundedRect(cell, 3, 3);
    }
}

// The tank of the battery card: a lying battery whose level shows the charge.
// level is the filled share of the inside, 0 to 1.
void drawTank(QPainter &painter, qreal level, const QColor &light, const QColor &dark)
{
    const QRectF caseRect(5, 6, 178, 58);
    const QRectF terminal(caseRect.right() - 2, 23, 14, 24);
    painter.fillPath(roundedOnOneSide(terminal, 4, terminal.adjusted(0, 0, -6, 0)), outlineDark);

    painter.setPen(QPen(outlineDark, 6, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(caseRect.adjusted(3, 3, -3, -3), 10, 10);

    const QRectF inside = caseRect.adjusted(11, 11, -11, -11);
    const QRectF filled(inside.topLeft(), QSizeF(inside.width() * level, inside.height()));
    painter.setPen(Qt::NoPen);
    painter.setBrush(verticalGradient(filled, light, dark));
    painter.drawRoundedRect(filled, 4, 4);
}

void drawTankFull(QPainter &painter)
{
    drawTank(painter, 1.0, greenLight, greenDark);
}

void drawTankEmpty(QPainter &painter)
{
    drawTank(painter, 0.12, redLight, redDark);
}

// The application icon for the desktop: the full tank of the battery card on a
// rounded badge, above the ruled lines of a logbook page.
void drawAppIcon(QPainter &painter)
{
    const QRectF badge(6, 6, 116, 116);
    painter.setPen(Qt::NoPen);
    painter.setBrush(verticalGradient(badge, QColor(0x4a, 0x6f, 0x8c), QColor(0x23, 0x3a, 0x4d)));
    painter.drawRoundedRect(badge, 24, 24);

    painter.setPen(roundPen(QColor(0xe8, 0xee, 0xf2), 6));
    for (const qreal y : { 84, 100 })
        painter.drawLine(QPointF(28, y), QPointF(100, y));

    painter.save();
    painter.translate(16, 30);
    painter.scale(0.48, 0.48);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xf4, 0xf6, 0xf8));
    painter.drawRoundedRect(QRectF(5, 6, 178, 58), 10, 10);
    drawTankFull(painter);
    painter.restore();
}

struct Image {
    const char *name;
    QSize size; // at 1x, in pixels
    void (*draw)(QPainter &);
};

const Image images[] = {
    { "menu_64_grey", { 64, 64 }, drawMenu },
    { "home_64_grey", { 64, 64 }, drawHome },
    { "plus_black", { 60, 60 }, drawPlus },
    { "edit", { 60, 60 }, drawPencil },
    { "minus", { 60, 60 }, drawMinus },
    { "Full-Battery-Mobile-Transparent-PNG", { 160, 160 }, drawBatteryPicture },
    { "tank_full", { 200, 70 }, drawTankFull },
    { "tank_empty", { 200, 70 }, drawTankEmpty },
    { "io.cellora.Cellora", { 128, 128 }, drawAppIcon },
};

const Image *findImage(const QString &name)
{
    for (const Image &image : images) {
        if (name == QLatin1String(image.name))
            return &image;
    }
    return nullptr;
}

QImage render(const Image &image, int scale)
{
    QImage canvas(image.size * scale, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);
    image.draw(painter);
    painter.end();
    return canvas;
}

bool writeImage(const Image &image, const QDir &folder)
{
    for (const int scale : { 1, 2 }) {
        const QString suffix = scale == 1 ? QStringLiteral(".png") : QStringLiteral("@2x.png");
        const QString path = folder.filePath(QLatin1String(image.name) + suffix);
        if (!render(image, scale).save(path, "PNG")) {
            std::fprintf(stderr, "cellora-drawimages: cannot write %s\n", qPrintable(path));
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: cellora-drawimages OUTPUT_FOLDER [NAME...]\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cellora-drawimages: cannot create %s\n", argv[1]);
        return 1;
    }

    QStringList names;
    for (int i = 2; i < argc; ++i)
        names << QString::fromLocal8Bit(argv[i]);
    if (names.isEmpty()) {
        for (const Image &image : images)
            names << QLatin1String(image.name);
    }

    for (const QString &name : qAsConst(names)) {
        const Image *image = findImage(name);
        if (!image) {
            std::fprintf(stderr, "cellora-drawimages: no drawing for %s\n", qPrintable(name));
            return 1;
        }
        if (!writeImage(*image, folder))
            return 1;
    }
    return 0;
}
