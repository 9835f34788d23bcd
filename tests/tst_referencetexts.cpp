// The texts that the companion windows hold as part of their designs: the
// blank ODF template and the About notes byte for byte, and the filled-in
// example against the ODF layout rules that it shows.
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include <iterator>

using namespace Qt::StringLiterals;

namespace {

QByteArray resource(const QString& name)
{
    QFile file(u":/"_s + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The lines of a text, each without its CR LF (checked on its own below).
QStringList linesOf(const QString& name)
{
    QStringList lines = QString::fromLatin1(resource(name)).split(u"\r\n"_s);
    lines.removeLast(); // what follows the last CR LF
    return lines;
}

template <std::size_t N> QStringList listOf(const char* const (&lines)[N])
{
    QStringList list;
    for (const char* line : lines)
        list << QString::fromLatin1(line);
    return list;
}

const QString kBanner = u"//"_s + QString(70, u'*');

// clang-format off
const char* const kTemplate[] = {
    "#include \".odf\"", // 1
    "", // 2
    "//Name of Ship class in Ship Display window & in edit mode & tooltip", // 3
    "unitName = \"\"", // 4
    "", // 5
    "//tooltips", // 6
    "tooltip = \"\"", // 7
    "verboseTooltip = \"\"", // 8
    "", // 9
    "//Race which can build ship & starting race of ship", // 10
    "race = \"\"", // 11
    "", // 12
    "//Amount of time required to build ship", // 13
    "buildTime = ", // 14
    "", // 15
    "//Number of officers required to build this ship", // 16
    "officerCost = ", // 17
    "", // 18
    "//Number of crew required to build ship & Starting crew", // 19
    "crewCost = ", // 20
    "", // 21
    "//Dilithium Cost to build", // 22
    "dilithiumCost =", // 23
    "", // 24
    "//Metal Cost to build", // 25
    "metalCost =", // 26
    "", // 27
    "//Max Shield Strength & Begining Shield Strength <500", // 28
    "maxHealth =", // 29
    "", // 30
    "// Hitpoints", // 31
    "", // 32
    "shieldGeneratorHitPoints =", // 33
    "enginesHitPoints =", // 34
    "weaponsHitPoints =", // 35
    "lifeSupportHitPoints =", // 36
    "sensorsHitPoints =", // 37
    "", // 38
    "//Rate at which shield recharges (points per second... we think)", // 39
    "shieldRate =", // 40
    "", // 41
    "//**********************************************************************", // 42
    "//SHIP NAMES", // 43
    "", // 44
    "//Possible Craft Names", // 45
    "possibleCraftNames = ", // 46
    "\t\"\" \"\" \"\" \"\"", // 47
    "", // 48
    "//**********************************************************************", // 49
    "//ART PARAMETERS & WEAPON NAMES", // 50
    "", // 51
    "// 1st Weapon name", // 52
    "weapon1 = \"\"", // 53
    "weaponHardpoints1 = \"\" \"\"", // 54
    "", // 55
    "// 2nd Weapon name", // 56
    "weapon2 = \"\"", // 57
    "weaponHardpoints2 = \"\" \"\"", // 58
    "", // 59
    "// Hardpoints to hit for various systems and other locations.", // 60
    "enginesTargetHardpoints = \"\" \"\" \"\" \"\"", // 61
    "lifeSupportTargetHardpoints = \"\" \"\" \"\" \"\"", // 62
    "weaponsTargetHardpoints = \"\" \"\" \"\" \"\" \"\"", // 63
    "shieldGeneratorTargetHardpoints = \"\" \"\" \"\" \"\" \"\"", // 64
    "sensorsTargetHardpoints = \"\" \"\" \"\" \"\"", // 65
    "hullTargetHardpoints = \"\" \"\" \"\" \"\"", // 66
    "criticalTargetHardpoints = \"\" \"\" \"\" \"\"", // 67
    "", // 68
    "//**********************************************************************", // 69
    "//AI system parameters", // 70
    "//These parameters influence how the AI evaluates and compares craft.", // 71
    "", // 72
    "//An abstract number that represents how much extra strength must be", // 73
    "//used to attack this craft due to its weapons. ", // 74
    "// (0.0=no weapons, 0.5 = average weapons, 1.0=many good weapons)", // 75
    "attackPower =", // 76
    "", // 77
    "//The normalized intrinsic value of a target.  High value craft make good", // 78
    "//attack targets. (0.0=lowest value, 1.0=highest value)", // 79
    "intrinsicValue =", // 80
    "", // 81
    "//**********************************************************************", // 82
    "//CREW STATUS MULTIPLIERS", // 83
    "//The multiplier for the delay between shots for weapons while in yellow status", // 84
    "weaponYellow =", // 85
    "", // 86
    "//The multiplier for the delay between shots for weapons while in red status", // 87
    "weaponRed =", // 88
    "//**********************************************************************", // 89
    "", // 90
    "//**********************************************************************", // 91
    "", // 92
    "// let's make this a bit bigger", // 93
    "ScaleSOD =", // 94
};

const char* const kNotes[] = {
    "This is the second version of this program, it ",
    "has been modified quite alot since the first ",
    "program. The program has 2 features under ",
    "the \"View\" menu you can use the \"Preview ",
    "Window\" which can help a modder see what ",
    "hardpoints a model has, The image they use ",
    "will have to be made by the modeller or ",
    "someone who knows the location of the ",
    "Hardpoints. By using this option users can ",
    "view images which use the format: BMP, GIF, ",
    "JPG, JPEG. This program allows you to see a ",
    "\"already\" made ODF, and allows you to see an ",
    "odf but without all the settings.",
};
// clang-format on

// A key line, or one turned into a comment: the key, a blank and "=", then
// nothing, a blank, or a blank and the value.
const QRegularExpression kKeyLine(u"^(// )?(\\w+) =(?: (.*))?$"_s);

// What a line is, without its value: key lines by their key, continuation
// lines by their tab, every other line as it is.
QStringList shapes(const QStringList& lines)
{
    QStringList result;
    for (const QString& line : lines) {
        const auto key = kKeyLine.match(line);
        result << (line.startsWith(u'\t') ? u"\t..."_s
                   : key.hasMatch()       ? key.captured(1) + key.captured(2) + u" = ..."_s
                                          : line);
    }
    return result;
}

QStringList quotedItems(const QString& value)
{
    QStringList items;
    for (auto it = QRegularExpression(u"\"[^\"]*\""_s).globalMatch(value); it.hasNext();)
        items << it.next().captured();
    return items;
}

// The form of each value in the example and how many quoted items it holds.
struct ValueRule
{
    const char* keys;
    const char* form;
    int items;
};

const char* const kHardpoints = "\"hp[0-9]{2}\"(?: {1,2}\"hp[0-9]{2}\")*";
const ValueRule kValues[] = {
    {"unitName", "\"[A-Za-z]+ [A-Za-z]+\"", 1},
    {"tooltip verboseTooltip hotkeyLabel", "\"[A-Z0-9_]+\"", 1},
    {"race keymapLabel", "\"[a-z]+\"", 1},
    {"weapon1 weapon2", "\"[a-z0-9]+\"", 1},
    {"attack_path0 attack_path1", "\"\\w+\\.pth\"", 1},
    {"buildTime shieldRate ScaleSOD", "[0-9]+\\.[0-9]+", 0},
    {"attackPower intrinsicValue weaponYellow weaponRed", "[0-9]+\\.[0-9]+f", 0},
    {"officerCost crewCost dilithiumCost metalCost maxHealth shieldGeneratorHitPoints "
     "enginesHitPoints weaponsHitPoints lifeSupportHitPoints sensorsHitPoints",
     "[0-9]+", 0},
    {"possibleCraftNames", "", 0}, // the names follow on their own lines
    {"weaponHardpoints1", kHardpoints, 9},
    {"weaponHardpoints2", kHardpoints, 3},
    {"weaponsTargetHardpoints", kHardpoints, 12},
    {"enginesTargetHardpoints lifeSupportTargetHardpoints shieldGeneratorTargetHardpoints "
     "sensorsTargetHardpoints",
     kHardpoints, 5},
    {"hullTargetHardpoints criticalTargetHardpoints", kHardpoints, 6},
};

} // namespace

class TestReferenceTexts : public QObject
{
    Q_OBJECT

private slots:
    void textsAreAsciiLinesEndingInCrLf_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("characters");
        QTest::newRow("example") << u"example.odf"_s << 112 << 3581;
        QTest::newRow("template") << u"template.odf"_s << 94 << 2541;
        QTest::newRow("about notes") << u"about-notes.txt"_s << 13 << 572;
    }

    void textsAreAsciiLinesEndingInCrLf()
    {
        QFETCH(QString, name);
        QFETCH(int, lines);
        QFETCH(int, characters);
        const QByteArray bytes = resource(name);
        QCOMPARE(bytes.size(), characters);
        QVERIFY(bytes.endsWith("\r\n"));
        // Every CR is followed by an LF and every LF follows a CR.
        QCOMPARE(bytes.count("\r\n"), lines);
        QCOMPARE(bytes.count('\r') + bytes.count('\n'), 2 * lines);
        for (const char c : bytes)
            QVERIFY2((c >= 0x20 && c < 0x7f) || c == '\t' || c == '\r' || c == '\n',
                     qPrintable(u"byte %1"_s.arg(int(uchar(c)))));
    }

    void templateAndNotesAreExact()
    {
        // With their line ends checked above, byte for byte.
        QCOMPARE(linesOf(u"template.odf"_s), listOf(kTemplate));
        QCOMPARE(linesOf(u"about-notes.txt"_s), listOf(kNotes));
    }

    // Undoing the example's differences gives the template's lines again,
    // values aside: the same comments, banners of "//" and 70 asterisks,
    // sections, keys in their order and continuation lines, plus the sections
    // that only the example has.
    void exampleIsTheTemplateWithItsDifferences()
    {
        const QStringList example = linesOf(u"example.odf"_s);
        QStringList expected = shapes(linesOf(u"template.odf"_s));
        QCOMPARE(example.first(), u"#include \"cruise3.odf\""_s);
        expected[0] = example.first();
        // Each weapon block's comment names its weapon instead.
        const QRegularExpression weaponName(u"^// [A-Z][A-Za-z0-9 ]*$"_s);
        for (const int index : {55, 59})
            QVERIFY2(weaponName.match(example[index]).hasMatch() &&
                         !example[index].contains(u"Weapon name"_s),
                     qPrintable(example[index]));
        expected[51] = example[55];
        expected[55] = example[59];
        const qsizetype craftNames = expected.indexOf(u"possibleCraftNames = ..."_s);
        for (int i = 0; i < 4; ++i)
            expected.insert(craftNames + 1, u"\t..."_s);
        const qsizetype critical = expected.indexOf(u"criticalTargetHardpoints = ..."_s);
        expected.insert(critical + 1, QString());
        expected.insert(critical + 1, QString());
        // After the second of the two closing banners.
        QCOMPARE(expected[96], kBanner);
        const QStringList added = {u"//PHYSICS PARAMETERS"_s,
                                   QString(),
                                   u"// Scripted 3D Attack paths"_s,
                                   u"attack_path0 = ..."_s,
                                   u"attack_path1 = ..."_s,
                                   QString(),
                                   kBanner,
                                   u"//KEYMAP LABEL"_s,
                                   u"// Obsolete, use hotkeyLabel"_s,
                                   u"// keymapLabel = ..."_s,
                                   u"hotkeyLabel = ..."_s,
                                   QString()};
        for (qsizetype i = 0; i < added.size(); ++i)
            expected.insert(97 + i, added[i]);
        QCOMPARE(shapes(example), expected);
    }

    void exampleValuesAreOfTheirKind()
    {
        QMap<QString, QString> values;
        for (const QString& line : linesOf(u"example.odf"_s)) {
            if (const auto key = kKeyLine.match(line); key.hasMatch())
                values.insert(key.captured(2), key.captured(3));
        }
        qsizetype ruled = 0;
        for (const ValueRule& rule : kValues) {
            const QRegularExpression form(
                QRegularExpression::anchoredPattern(QString::fromLatin1(rule.form)));
            for (const QString& key : QString::fromLatin1(rule.keys).split(u' ')) {
                ++ruled;
                const QString value = values.value(key, u"<no such key>"_s);
                QVERIFY2(form.match(value).hasMatch(), qPrintable(key + u" = "_s + value));
                QCOMPARE(quotedItems(value).size(), rule.items);
            }
        }
        QCOMPARE(values.size(), ruled); // no key without a rule

        QCOMPARE(values[u"verboseTooltip"_s], values[u"tooltip"_s].chopped(1) + u"_V\""_s);
        QVERIFY(values[u"maxHealth"_s].toInt() < 500);
        for (const QString& key : {u"attackPower"_s, u"intrinsicValue"_s}) {
            const double value = values[key].chopped(1).toDouble();
            QVERIFY2(value >= 0.0 && value <= 1.0, qPrintable(key));
        }
        // The weapons' target list names the hardpoints of both weapons, in
        // order; one list somewhere has two blanks between two items.
        QCOMPARE(quotedItems(values[u"weaponsTargetHardpoints"_s]),
                 quotedItems(values[u"weaponHardpoints1"_s]) +
                     quotedItems(values[u"weaponHardpoints2"_s]));
        QCOMPARE(resource(u"example.odf"_s).count("\"  \""), 1);
    }

    // 24 two-word names with one first word, on five continuation lines.
    void exampleShipNames()
    {
        const QStringList lines = linesOf(u"example.odf"_s);
        const QRegularExpression name(u"^\"([A-Za-z]+) [A-Za-z]+\"$"_s);
        QList<qsizetype> perLine;
        QSet<QString> prefixes;
        QSet<QString> names;
        for (qsizetype i = lines.indexOf(u"possibleCraftNames = "_s) + 1;
             lines[i].startsWith(u'\t'); ++i) {
            const QStringList items = quotedItems(lines[i]);
            QCOMPARE(lines[i], u'\t' + items.join(u' '));
            for (const QString& item : items) {
                const auto match = name.match(item);
                QVERIFY2(match.hasMatch(), qPrintable(item));
                prefixes << match.captured(1);
                names << item;
            }
            perLine << items.size();
        }
        QCOMPARE(perLine, QList<qsizetype>({5, 5, 5, 4, 5}));
        QCOMPARE(names.size(), 24);
        QCOMPARE(prefixes.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestReferenceTexts)
#include "tst_referencetexts.moc"
