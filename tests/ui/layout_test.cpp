// The window as it opens: caption, size, the ten controls in their places, their texts, and
// captions that fit their controls in the window's font.
#include <QFontMetrics>
#include <QStyle>
#include <QStyleOptionButton>

#include "window_fixture.h"

namespace zentil::testing {
namespace {

struct Placed {
  const char* name;
  QRect twips;  // left, top, width, height in twips
  const char* text;
};

// The layout in twips; 15 twips make one logical pixel.
const Placed kLayout[] = {
    {"Label3", {120, 240, 3735, 255}, "Seleccione la carpeta de specs:"},
    {"txtPath", {120, 480, 3975, 285}, ""},
    {"cmdAbrir", {4200, 480, 375, 255}, "..."},
    {"Label4", {120, 840, 3735, 255}, "Seleccione la carpeta destino:"},
    {"txtDest", {120, 1080, 3975, 285}, ""},
    {"CmdDest", {4200, 1080, 375, 255}, "..."},
    {"Label2", {120, 1560, 3375, 255}, "Archivos procesados: 0"},
    {"Label1", {120, 1800, 3975, 255}, ""},
    {"cmdGenerar", {240, 2280, 1815, 375}, "Generar"},
    {"cmdSalir", {2640, 2280, 1815, 375}, "Salir"},
};

QString text_of(QWidget* w) {
  if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
  if (auto* box = qobject_cast<QLineEdit*>(w)) return box->text();
  return qobject_cast<QPushButton*>(w)->text();
}

using LayoutTest = WindowFixture;

TEST_F(LayoutTest, WindowHasItsCaptionFixedClientSizeAndIcon) {
  EXPECT_EQ(window->windowTitle(), "Zentil Counter");
  EXPECT_EQ(window->size(), QSize(313, 184));
  EXPECT_EQ(window->minimumSize(), QSize(313, 184));
  EXPECT_EQ(window->maximumSize(), QSize(313, 184));
  const QList<QSize> sizes = window->windowIcon().availableSizes();
  EXPECT_TRUE(sizes.contains(QSize(32, 32)));
  EXPECT_TRUE(sizes.contains(QSize(256, 256)));
}

TEST_F(LayoutTest, EveryControlHasItsPlaceSizeAndStartText) {
  for (const Placed& p : kLayout) {
    SCOPED_TRACE(p.name);
    auto* w = window->findChild<QWidget*>(QLatin1String(p.name));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->geometry(), QRect(p.twips.x() / 15, p.twips.y() / 15, p.twips.width() / 15,
                                   p.twips.height() / 15));
    EXPECT_EQ(text_of(w), QString::fromUtf8(p.text));
    EXPECT_TRUE(w->isVisible());
  }
  EXPECT_TRUE(window->sourcePath().isEmpty());
  EXPECT_TRUE(window->reportPath().isEmpty());
}

TEST_F(LayoutTest, CaptionsFitTheirControlsInTheWindowFont) {
  // The longest texts each control shows, at rest or during a run.
  const std::pair<QWidget*, QString> shown[] = {
      {window->Label3, window->Label3->text()},
      {window->Label4, window->Label4->text()},
      {window->Label2, "Archivos procesados: 999999"},
      {window->Label1, "Procesando archivos.. Espere por favor."},
      {window->cmdAbrir, "..."},
      {window->CmdDest, "..."},
      {window->cmdGenerar, "Generar"},
      {window->cmdSalir, "Salir"},
  };
  for (const auto& [w, text] : shown) {
    SCOPED_TRACE(text.toStdString());
    EXPECT_EQ(w->font(), ui::window_font());
    const QFontMetrics metrics(w->font());
    const QRect room = w->contentsRect();
    // A button's frame takes a little of its room on each side.
    const int frame = qobject_cast<QPushButton*>(w)
                          ? w->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, w)
                          : 0;
    EXPECT_LE(metrics.horizontalAdvance(text), room.width() - 2 * frame);
    EXPECT_LE(metrics.height(), room.height() - 2 * frame);
  }
  const QFontMetrics box(window->txtPath->font());
  EXPECT_LE(box.height(), window->txtPath->height() - 4);  // above and below: frame and margin
}

TEST_F(LayoutTest, NoButtonIsDefaultAndLabelsTakeNoFocus) {
  for (QPushButton* b : {window->cmdAbrir, window->CmdDest, window->cmdGenerar, window->cmdSalir}) {
    SCOPED_TRACE(b->objectName().toStdString());
    EXPECT_FALSE(b->isDefault());
    EXPECT_FALSE(b->autoDefault());
    EXPECT_EQ(b->focusPolicy(), Qt::StrongFocus);
  }
  for (QLabel* l : {window->Label1, window->Label2, window->Label3, window->Label4}) {
    EXPECT_EQ(l->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(l->textFormat(), Qt::PlainText);
  }
  EXPECT_EQ(QApplication::focusWidget(), window->txtPath);
}

}  // namespace
}  // namespace zentil::testing
