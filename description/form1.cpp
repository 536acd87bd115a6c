// SPDX-License-Identifier: GPL-3.0-or-later
#include "description/form1.h"

#include <array>
#include <optional>

namespace description {
namespace {

using rt::ControlSpec;
using rt::Font;
using rt::Kind;
using rt::Rgb;

constexpr std::string_view kWindow = "Form1";

constexpr Rgb kWindowBlue{128, 128, 255};
constexpr Rgb kFieldLavender{192, 192, 255};
constexpr Rgb kFieldText{0, 0, 255};

constexpr Font kLarge{24.0f, false};
constexpr Font kLargeBold{24.0f, true};
constexpr Font kButtonBold{18.0f, true};
constexpr Font kSmallBold{8.25f, true};

constexpr rt::FormSpec kForm1{
    .name = kWindow,
    .caption = "Zarnovik (ZRNV) v. 1.0",
    .clientWidth = 10140,
    .clientHeight = 7905,
    .backColor = kWindowBlue,
    .icon = "icon",
    .mouseIcon = "pointer.window",
    .font = Font{8.25f, false},
};

// One combination of the prize table a line; the runs of blanks fill each
// line of Label4 at its width, so that the next one starts on a line of its own.
constexpr std::string_view kPrizeTable =
    "ТАБЛИЦА ВЫИГРЫШЕЙ                          "
    "Изумруд Изумруд Изумруд = х500          "
    "Зента Зента Зента = х300                         "
    "Бримон Бримон Бримон = х200              "
    "Лирвен Лирвен Лирвен = х150                "
    "Дрогнар Дрогнар Дрогнар = х100           "
    "Велси Велси Велси = х50                         "
    "Тиво Тиво Тиво = х30                                "
    "Spin Spin Spin = х20                                   "
    "Bar Bar Bar = х10                                        "
    "Кольцо Кольцо Кольцо = х7                    "
    "Бримон Бримон = х5                                 "
    "Кольцо Кольцо = х3                                   "
    "Бримон = х2                                                "
    "Кольцо = х1";

// The gap after "по адресу" is where Label10 shows the fan-site address: as
// wide as the address and a word space, so that the line reads as one
// sentence. Label10 stands on the line's baseline and is no wider than the
// address, so its ground hides none of the words after it.
constexpr std::string_view kWelcomeText =
    "Приветствуем! Вы открыли замечательную игру - рулетку \"ZRNV\" (Zarnovik)! "
    "Спасибо за интерес и доверие! Мы уверены, что игра доставит Вам "
    "незабываемое удовольствие! А если Вы фанат Бримона, советуем зайти на один "
    "из лучших фан-клубов Бримона в России "
    "по\nадресу                        !!!!! KESTRANO ждёт Вас к "
    "себе в гости! До Новых Встреч и С НОВЫМ ГОДОМ!!!!!";

// Label11 continues the last sentence with the fan-site address.
constexpr std::string_view kRulesText =
    "Опускайте кольца в кольцеприёмник и наслаждайтесь игрой в Zarnovik! Если "
    "Вам выпала выиг- рышная комбинация из таблицы выигрышей справа, то в поле "
    "\"Выигрыш\" Вы увидите некоторое количество колец, постепенно переходящих в "
    "деньги (1 кольцо = 5 $) в поле \"Деньги\"!Когда у Вас кончатся все деньги, "
    "нажмите на кнопку \"Новая игра\", чтобы попробовать вновь! По окончании "
    "игры не забудьте посетить ";

constexpr std::string_view kCreditLine = "Вердолин,                      18 декабря 2004 года.";

constexpr ControlSpec frame(std::string_view name, int left, int top, int width, int height,
                            std::string_view caption, Rgb back) {
  return {.name = name,
          .kind = Kind::Frame,
          .container = kWindow,
          .left = left,
          .top = top,
          .width = width,
          .height = height,
          .caption = caption,
          .backColor = back};
}

// A push button with the button pointer.
constexpr ControlSpec button(std::string_view name, std::string_view container, int left, int top,
                             int width, int height, std::string_view caption, Font font,
                             int tabIndex) {
  return {.name = name,
          .kind = Kind::CommandButton,
          .container = container,
          .left = left,
          .top = top,
          .width = width,
          .height = height,
          .caption = caption,
          .mouseIcon = "pointer.button",
          .font = font,
          .tabIndex = tabIndex};
}

constexpr ControlSpec label(std::string_view name, std::string_view container, int left, int top,
                            int width, int height, std::string_view caption,
                            std::optional<Rgb> back, std::optional<Rgb> fore, Font font = {}) {
  return {.name = name,
          .kind = Kind::Label,
          .container = container,
          .left = left,
          .top = top,
          .width = width,
          .height = height,
          .caption = caption,
          .backColor = back,
          .foreColor = fore,
          .font = font};
}

// A light lavender field in a frame, blue text: the money, the prize and their units.
constexpr ControlSpec field(std::string_view name, std::string_view frame, int left, int width,
                            std::string_view caption) {
  return label(name, frame, left, 240, width, 255, caption, kFieldLavender, kFieldText);
}

constexpr ControlSpec image(std::string_view name, int left, int top, int width, int height,
                            std::string_view art, std::string_view tag = {}) {
  return {.name = name,
          .kind = Kind::Image,
          .container = kWindow,
          .left = left,
          .top = top,
          .width = width,
          .height = height,
          .tag = tag,
          .picture = art};
}

// Symbol picture d of the Image control numbered d, hidden under Label5.
constexpr ControlSpec symbolImage(std::string_view name, int left, int top, std::string_view art) {
  return image(name, left, top, 255, 375, art);
}

// Each reel starts with its own copy of the symbol 7 picture.
constexpr ControlSpec reel(std::string_view name, int left) {
  return image(name, left, 120, 1935, 3375, "symbol7", "0");
}

constexpr ControlSpec line(std::string_view name, int x1, int y1, int x2, int y2) {
  return {.name = name,
          .kind = Kind::Line,
          .container = kWindow,
          .left = x1,
          .top = y1,
          .width = x2,
          .height = y2};
}

constexpr ControlSpec timer(std::string_view name, int interval, bool enabled) {
  return {.name = name,
          .kind = Kind::Timer,
          .container = kWindow,
          .enabled = enabled,
          .interval = interval};
}

constexpr ControlSpec tagged(ControlSpec c, std::string_view tag) {
  c.tag = tag;
  return c;
}

constexpr ControlSpec hidden(ControlSpec c) {
  c.visible = false;
  return c;
}

constexpr ControlSpec pointing(ControlSpec c, std::string_view pointer) {
  c.mouseIcon = pointer;
  return c;
}

// The window's controls from the top of the stacking order to the bottom,
// then the controls of each frame (top to bottom), then the timers.
// Geometry in twips: left, top, width, height (a line: x1, y1, x2, y2).
// clang-format off
constexpr std::array<ControlSpec, 56> kControls{{
    frame("Frame4", 120, 120, 9975, 7695, "", Rgb{0, 0, 192}),
    frame("Frame3", 120, 5040, 4815, 2055, "Правила игры", kWindowBlue),
    button("Command1", kWindow, 120, 7200, 4815, 615, "Новая игра", kLargeBold, 8),
    frame("Frame2", 120, 4320, 3975, 615, "Деньги", kWindowBlue),
    frame("Frame1", 120, 3600, 3975, 615, "Выигрыш", kWindowBlue),
    image("Image13", 8280, 6240, 1815, 1575, "burst"),
    label("Label4", kWindow, 5040, 3720, 3135, 4095, kPrizeTable, Rgb{255, 192, 128}, Rgb{255, 255, 192}, kSmallBold),
    tagged(label("Label1", kWindow, 6000, 120, 4095, 495, "", Rgb{255, 255, 255}, Rgb{0, 0, 0}), "0"),
    image("Image12", 6000, 120, 4095, 3375, "title"),
    label("Label9", kWindow, 8280, 3720, 1815, 495, kCreditLine, kWindowBlue, Rgb{255, 255, 128}),
    image("Image11", 8280, 4200, 1815, 975, "logo.maker"),
    image("Image10", 8280, 5280, 1815, 855, "logo.second"),
    label("Label5", kWindow, 8400, 3240, 735, 1455, "", kWindowBlue, std::nullopt),
    line("Line24", 4320, 3720, 4320, 4920),
    label("LabelGenerator", kWindow, 6720, 3720, 255, 375, "Ge ner.", std::nullopt, std::nullopt),
    symbolImage("Image9", 8640, 4320, "symbol9"),
    symbolImage("Image8", 8880, 3960, "symbol8"),
    symbolImage("Image7", 8640, 3960, "symbol7"),
    symbolImage("Image6", 8400, 3960, "symbol6"),
    symbolImage("Image5", 8880, 3600, "symbol5"),
    symbolImage("Image4", 8640, 3600, "symbol4"),
    symbolImage("Image3", 8400, 3600, "symbol3"),
    symbolImage("Image2", 8880, 3240, "symbol2"),
    symbolImage("Image1", 8640, 3240, "symbol1"),
    symbolImage("Image0", 8400, 3240, "symbol0"),
    pointing(label("LabelInsertCoin", kWindow, 4560, 3960, 135, 735, "", Rgb{0, 0, 0}, std::nullopt), "pointer.coin"),
    {.name = "Shape1", .kind = Kind::Shape, .container = kWindow, .left = 4440, .top = 3840, .width = 375, .height = 975},
    line("Line23", 4800, 4800, 4920, 4920),
    line("Line22", 4800, 3840, 4920, 3720),
    line("Line21", 4320, 4920, 4440, 4800),
    line("Line20", 4320, 3720, 4440, 3840),
    line("Line19", 4320, 4920, 4920, 4920),
    line("Line18", 4320, 3720, 4920, 3720),
    line("Line17", 4920, 4920, 4920, 3720),
    line("Line16", 4320, 4680, 4320, 3720),
    label("Label3", kWindow, 4320, 3720, 615, 1215, "", Rgb{224, 224, 224}, std::nullopt),
    hidden(image("ImageEmpty", 120, 120, 5775, 3375, "flash", "0")),
    reel("ImageNumber3", 3960),
    reel("ImageNumber2", 2040),
    reel("ImageNumber1", 120),
    image("ImageRotate2", 120, 120, 5775, 3375, "spin2", "0"),
    image("ImageRotate1", 120, 120, 5775, 3375, "spin1", "0"),

    // The welcome panel.
    button("Command2", "Frame4", 360, 5880, 9255, 1455, "Я буду рад зайти на сайт brimonfan.ru, а пока я хочу поиграть в Zarnovik!", kButtonBold, 19),
    label("Label10", "Frame4", 1800, 4020, 3000, 495, kFanSite, Rgb{0, 0, 255}, Rgb{255, 0, 0}, kLargeBold),
    label("Label2", "Frame4", 120, 240, 9735, 7335, kWelcomeText, Rgb{0, 0, 255}, kWindowBlue, kLarge),

    // Rules.
    label("Label11", "Frame3", 3120, 1680, 1575, 255, kFanSite, kFieldLavender, Rgb{192, 0, 0}),
    label("Label6", "Frame3", 120, 240, 4575, 1695, kRulesText, kFieldLavender, kFieldText),

    // Money.
    field("Label8", "Frame2", 3240, 495, "    $"),
    field("LabelCredit", "Frame2", 120, 3135, "100"),

    // Winnings.
    field("Label7", "Frame1", 3240, 495, "колец"),
    field("LabelPrize", "Frame1", 120, 3255, "0"),

    timer("Timer1", 125, false),
    timer("Timer2", 500, false),
    timer("Timer3", 1, false),
    timer("Timer4", 300, false),
    timer("Timer5", 250, true),
}};
// clang-format on

}  // namespace

const rt::FormSpec& form1Spec() {
  return kForm1;
}

std::span<const rt::ControlSpec> form1Controls() {
  return kControls;
}

}  // namespace description
