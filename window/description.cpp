#include "window/description.h"

#include <array>

namespace window {
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

// Symbol picture d of the Image control numbered d, hidden under Label5.
constexpr ControlSpec symbolImage(std::string_view name, int left, int top, std::string_view art) {
  return {.name = name,
          .kind = Kind::Image,
          .container = kWindow,
          .left = left,
          .top = top,
          .width = 255,
          .height = 375,
          .picture = art};
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

constexpr ControlSpec reel(std::string_view name, int left) {
  // Each reel starts with its own copy of the symbol 7 picture.
  return {.name = name,
          .kind = Kind::Image,
          .container = kWindow,
          .left = left,
          .top = 120,
          .width = 1935,
          .height = 3375,
          .tag = "0",
          .picture = "symbol7"};
}

constexpr ControlSpec timer(std::string_view name, int interval, bool enabled) {
  return {.name = name,
          .kind = Kind::Timer,
          .container = kWindow,
          .enabled = enabled,
          .interval = interval};
}

// A light lavender field in a frame, blue text: the money, the prize and their units.
constexpr ControlSpec field(std::string_view name, std::string_view frame, int left, int width,
                            std::string_view caption) {
  return {.name = name,
          .kind = Kind::Label,
          .container = frame,
          .left = left,
          .top = 240,
          .width = width,
          .height = 255,
          .caption = caption,
          .backColor = kFieldLavender,
          .foreColor = kFieldText};
}

// The window's controls from the top of the stacking order to the bottom,
// then the controls of each frame (top to bottom), then the timers.
constexpr std::array<ControlSpec, 56> kControls{{
    {.name = "Frame4",
     .kind = Kind::Frame,
     .container = kWindow,
     .left = 120,
     .top = 120,
     .width = 9975,
     .height = 7695,
     .backColor = Rgb{0, 0, 192}},
    {.name = "Frame3",
     .kind = Kind::Frame,
     .container = kWindow,
     .left = 120,
     .top = 5040,
     .width = 4815,
     .height = 2055,
     .caption = "Правила игры",
     .backColor = kWindowBlue},
    {.name = "Command1",
     .kind = Kind::CommandButton,
     .container = kWindow,
     .left = 120,
     .top = 7200,
     .width = 4815,
     .height = 615,
     .caption = "Новая игра",
     .mouseIcon = "pointer.button",
     .font = kLargeBold,
     .tabIndex = 8},
    {.name = "Frame2",
     .kind = Kind::Frame,
     .container = kWindow,
     .left = 120,
     .top = 4320,
     .width = 3975,
     .height = 615,
     .caption = "Деньги",
     .backColor = kWindowBlue},
    {.name = "Frame1",
     .kind = Kind::Frame,
     .container = kWindow,
     .left = 120,
     .top = 3600,
     .width = 3975,
     .height = 615,
     .caption = "Выигрыш",
     .backColor = kWindowBlue},
    {.name = "Image13",
     .kind = Kind::Image,
     .container = kWindow,
     .left = 8280,
     .top = 6240,
     .width = 1815,
     .height = 1575,
     .picture = "burst"},
    {.name = "Label4",
     .kind = Kind::Label,
     .container = kWindow,
     .left = 5040,
     .top = 3720,
     .width = 3135,
     .height = 4095,
     // Each run of blanks fills its line, so that the heading and every
     // combination start a line of their own.
     .caption = "ТАБЛИЦА ВЫИГРЫШЕЙ                          "
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
                "Кольцо = х1",
     .backColor = Rgb{255, 192, 128},
     .foreColor = Rgb{255, 255, 192},
     .font = kSmallBold},
    {.name = "Label1",
     .kind = Kind::Label,
     .container = kWindow,
     .left = 6000,
     .top = 120,
     .width = 4095,
     .height = 495,
     .tag = "0",
     .backColor = Rgb{255, 255, 255},
     .foreColor = Rgb{0, 0, 0}},
    {.name = "Image12",
     .kind = Kind::Image,
     .container = kWindow,
     .left = 6000,
     .top = 120,
     .width = 4095,
     .height = 3375,
     .picture = "title"},
    {.name = "Label9",
     .kind = Kind::Label,
     .container = kWindow,
     .left = 8280,
     .top = 3720,
     .width = 1815,
     .height = 495,
     .caption = "Вердолин,"
                "                      "
                "18 декабря 2004 года.",
     .backColor = kWindowBlue,
     .foreColor = Rgb{255, 255, 128}},
    {.name = "Image11",
     .kind = Kind::Image,
     .container = kWindow,
     .left = 8280,
     .top = 4200,
     .width = 1815,
     .height = 975,
     .picture = "logo.maker"},
    {.name = "Image10",
     .kind = Kind::Image,
     .container = kWindow,
     .left = 8280,
     .top = 5280,
     .width = 1815,
     .height = 855,
     .picture = "logo.second"},
    {.name = "Label5",
     .kind = Kind::Label,
     .container = kWindow,
     .left = 8400,
     .top = 3240,
     .width = 735,
     .height = 1455,
     .backColor = kWindowBlue},
    line("Line24", 4320, 3720, 4320, 4920),
    {.name = "LabelGenerator",
     .kind = Kind::Label,
     .container = kWindow,
     .left = 6720,
     .top = 3720,
     .width = 255,
     .height = 375,
     .caption = "Ge ner."},
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
    {.name = "LabelInsertCoin",
     .kind = Kind::Label,
     .container = kWindow,
     .left = 4560,
     .top = 3960,
     .width = 135,
     .height = 735,
     .mouseIcon = "pointer.coin",
     .backColor = Rgb{0, 0, 0}},
    {.name = "Shape1",
     .kind = Kind::Shape,
     .container = kWindow,
     .left = 4440,
     .top = 3840,
     .width = 375,
     .height = 975},
    line("Line23", 4800, 4800, 4920, 4920),
    line("Line22", 4800, 3840, 4920, 3720),
    line("Line21", 4320, 4920, 4440, 4800),
    line("Line20", 4320, 3720, 4440, 3840),
    line("Line19", 4320, 4920, 4920, 4920),
    line("Line18", 4320, 3720, 4920, 3720),
    line("Line17", 4920, 4920, 4920, 3720),
    line("Line16", 4320, 4680, 4320, 3720),
    {.name = "Label3",
     .kind = Kind::Label,
     .container = kWindow,
     .left = 4320,
     .top = 3720,
     .width = 615,
     .height = 1215,
     .backColor = Rgb{224, 224, 224}},
    {.name = "ImageEmpty",
     .kind = Kind::Image,
     .container = kWindow,
     .left = 120,
     .top = 120,
     .width = 5775,
     .height = 3375,
     .tag = "0",
     .visible = false,
     .picture = "flash"},
    reel("ImageNumber3", 3960),
    reel("ImageNumber2", 2040),
    reel("ImageNumber1", 120),
    {.name = "ImageRotate2",
     .kind = Kind::Image,
     .container = kWindow,
     .left = 120,
     .top = 120,
     .width = 5775,
     .height = 3375,
     .tag = "0",
     .picture = "spin2"},
    {.name = "ImageRotate1",
     .kind = Kind::Image,
     .container = kWindow,
     .left = 120,
     .top = 120,
     .width = 5775,
     .height = 3375,
     .tag = "0",
     .picture = "spin1"},

    // The welcome panel.
    {.name = "Command2",
     .kind = Kind::CommandButton,
     .container = "Frame4",
     .left = 360,
     .top = 5880,
     .width = 9255,
     .height = 1455,
     .caption = "Я буду рад зайти на сайт brimonfan.ru, а пока я хочу поиграть в Zarnovik!",
     .mouseIcon = "pointer.button",
     .font = kButtonBold,
     .tabIndex = 19},
    {.name = "Label10",
     .kind = Kind::Label,
     .container = "Frame4",
     .left = 1800,
     .top = 4080,
     .width = 4935,
     .height = 495,
     .caption = kFanSite,
     .backColor = Rgb{0, 0, 255},
     .foreColor = Rgb{255, 0, 0},
     .font = kLargeBold},
    {.name = "Label2",
     .kind = Kind::Label,
     .container = "Frame4",
     .left = 120,
     .top = 240,
     .width = 9735,
     .height = 7335,
     .caption =
         // The line break and the run of blanks leave the gap after "адресу"
         // where Label10 shows the address.
     "Приветствуем! Вы открыли замечательную игру - рулетку \"ZRNV\" (Zarnovik)! Спасибо за "
     "интерес и доверие! Мы уверены, что игра доставит Вам незабываемое удовольствие! А если "
     "Вы фанат Бримона, советуем зайти на один из лучших фан-клубов Бримона в России по\n"
     "адресу                                        "
     "!!!!! KESTRANO ждёт Вас к себе в гости! До Новых Встреч и С НОВЫМ ГОДОМ!!!!!",
     .backColor = Rgb{0, 0, 255},
     .foreColor = kWindowBlue,
     .font = kLarge},

    // Rules.
    {.name = "Label11",
     .kind = Kind::Label,
     .container = "Frame3",
     .left = 3120,
     .top = 1680,
     .width = 1575,
     .height = 255,
     .caption = kFanSite,
     .backColor = kFieldLavender,
     .foreColor = Rgb{192, 0, 0}},
    {.name = "Label6",
     .kind = Kind::Label,
     .container = "Frame3",
     .left = 120,
     .top = 240,
     .width = 4575,
     .height = 1695,
     .caption =
         "Опускайте кольца в кольцеприёмник и наслаждайтесь игрой в Zarnovik! Если Вам выпала "
         "выиг- "
         "рышная комбинация из таблицы выигрышей справа, то в поле \"Выигрыш\" Вы увидите "
         "некоторое "
         "количество колец, постепенно переходящих в деньги (1 кольцо = 5 $) в поле "
         "\"Деньги\"!Когда у Вас кончатся все деньги, нажмите на кнопку \"Новая игра\", чтобы "
         "попробовать вновь! По окончании игры не забудьте посетить ",
     .backColor = kFieldLavender,
     .foreColor = kFieldText},

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

}  // namespace

const rt::FormSpec& form1Spec() {
  return kForm1;
}

std::span<const rt::ControlSpec> form1Controls() {
  return kControls;
}

}  // namespace window
