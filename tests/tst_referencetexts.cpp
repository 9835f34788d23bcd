// The texts that the companion windows hold as part of their designs: the
// blank ODF template, the filled-in example and the About notes, each checked
// byte for byte and against the ODF layout rules that it shows.
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include <iterator>

namespace {

QByteArray resource(const QString& name)
{
    QFile file(QStringLiteral(":/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

// The lines of a text, each without its CR LF (checked on its own below).
QStringList linesOf(const QString& name)
{
    QStringList lines = QString::fromLatin1(resource(name)).split(QStringLiteral("\r\n"));
    lines.removeLast(); // what follows the last CR LF
    return lines;
}

QStringList fromLatin1(const char* const* lines, int count)
{
    QStringList list;
    for (int i = 0; i < count; ++i)
        list << QString::fromLatin1(lines[i]);
    return list;
}

const QString kBanner = QStringLiteral("//") + QString(70, QLatin1Char('*'));

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

// A key line: the key, a blank and "=", then nothing, a blank, or a blank and
// the value.
const QRegularExpression kKeyLine(QStringLiteral("^(\\w+) =(?: (.*))?$"));
// A key line turned into a comment.
const QRegularExpression kDisabledKeyLine(QStringLiteral("^// (\\w+) = (.*)$"));
const QRegularExpression kQuoted(QStringLiteral("\"[^\"]*\""));

// What a line is, without its value: key lines and disabled key lines by
// their key, continuation lines by their tab, every other line as it is.
QString shape(const QString& line)
{
    if (line.startsWith(QLatin1Char('\t')))
        return QStringLiteral("\t...");
    if (const auto key = kKeyLine.match(line); key.hasMatch())
        return key.captured(1) + QStringLiteral(" = ...");
    if (const auto key = kDisabledKeyLine.match(line); key.hasMatch())
        return QStringLiteral("// ") + key.captured(1) + QStringLiteral(" = ...");
    return line;
}

QStringList shapes(const QStringList& lines)
{
    QStringList result;
    for (const QString& line : lines)
        result << shape(line);
    return result;
}

struct KeyLine
{
    QString key;
    QString value;
};

QList<KeyLine> keyLines(const QStringList& lines)
{
    QList<KeyLine> keys;
    for (const QString& line : lines) {
        if (const auto key = kKeyLine.match(line); key.hasMatch())
            keys.append({key.captured(1), key.captured(2)});
    }
    return keys;
}

QString valueOf(const QList<KeyLine>& keys, const QString& key)
{
    for (const KeyLine& line : keys) {
        if (line.key == key)
            return line.value;
    }
    return QStringLiteral("<no such key>");
}

QStringList quotedItems(const QString& value)
{
    QStringList items;
    auto it = kQuoted.globalMatch(value);
    while (it.hasNext())
        items << it.next().captured();
    return items;
}

// The keys of a ship ODF in their order, the form of each value in the
// example and, for lists, how many items the example and the template hold.
struct KeyRule
{
    const char* key;
    const char* exampleValue; // a pattern for the whole value
    int exampleItems;         // quoted items in the example's value
    int templateItems;        // quoted items in the template's value
    bool exampleOnly;
};

const char* const kText = "^\"[^\"]+\"$";
const char* const kTwoWords = "^\"[A-Za-z]+ [A-Za-z]+\"$";
const char* const kLabel = "^\"[A-Z0-9_]+\"$";
const char* const kLowerCase = "^\"[a-z]+\"$";
const char* const kWeapon = "^\"[a-z0-9]+\"$";
const char* const kInteger = "^[0-9]+$";
const char* const kDecimal = "^[0-9]+\\.[0-9]+$";
const char* const kDecimalF = "^[0-9]+\\.[0-9]+f$";
const char* const kHardpoints = "^\"hp[0-9]{2}\"(?: {1,2}\"hp[0-9]{2}\")*$";
const char* const kPathFile = "^\"\\w+\\.pth\"$";
const char* const kNothing = "^$";

const KeyRule kKeys[] = {
    {"unitName", kTwoWords, 1, 1, false},
    {"tooltip", kLabel, 1, 1, false},
    {"verboseTooltip", kLabel, 1, 1, false},
    {"race", kLowerCase, 1, 1, false},
    {"buildTime", kDecimal, 0, 0, false},
    {"officerCost", kInteger, 0, 0, false},
    {"crewCost", kInteger, 0, 0, false},
    {"dilithiumCost", kInteger, 0, 0, false},
    {"metalCost", kInteger, 0, 0, false},
    {"maxHealth", kInteger, 0, 0, false},
    {"shieldGeneratorHitPoints", kInteger, 0, 0, false},
    {"enginesHitPoints", kInteger, 0, 0, false},
    {"weaponsHitPoints", kInteger, 0, 0, false},
    {"lifeSupportHitPoints", kInteger, 0, 0, false},
    {"sensorsHitPoints", kInteger, 0, 0, false},
    {"shieldRate", kDecimal, 0, 0, false},
    {"possibleCraftNames", kNothing, 0, 0, false}, // the names follow on their own lines
    {"weapon1", kWeapon, 1, 1, false},
    {"weaponHardpoints1", kHardpoints, 9, 2, false},
    {"weapon2", kWeapon, 1, 1, false},
    {"weaponHardpoints2", kHardpoints, 3, 2, false},
    {"enginesTargetHardpoints", kHardpoints, 5, 4, false},
    {"lifeSupportTargetHardpoints", kHardpoints, 5, 4, false},
    {"weaponsTargetHardpoints", kHardpoints, 12, 5, false},
    {"shieldGeneratorTargetHardpoints", kHardpoints, 5, 5, false},
    {"sensorsTargetHardpoints", kHardpoints, 5, 4, false},
    {"hullTargetHardpoints", kHardpoints, 6, 4, false},
    {"criticalTargetHardpoints", kHardpoints, 6, 4, false},
    {"attackPower", kDecimalF, 0, 0, false},
    {"intrinsicValue", kDecimalF, 0, 0, false},
    {"weaponYellow", kDecimalF, 0, 0, false},
    {"weaponRed", kDecimalF, 0, 0, false},
    {"attack_path0", kPathFile, 1, 0, true},
    {"attack_path1", kPathFile, 1, 0, true},
    {"hotkeyLabel", kLabel, 1, 0, true},
    {"ScaleSOD", kDecimal, 0, 0, false},
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
        QTest::newRow("example") << QStringLiteral("example.odf") << 112 << 3581;
        QTest::newRow("template") << QStringLiteral("template.odf") << 94 << 2541;
        QTest::newRow("about notes") << QStringLiteral("about-notes.txt") << 13 << 572;
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
        QCOMPARE(bytes.count('\r'), lines);
        QCOMPARE(bytes.count('\n'), lines);
        for (const char c : bytes) {
            const bool printable = c >= 0x20 && c < 0x7f;
            QVERIFY2(printable || c == '\t' || c == '\r' || c == '\n',
                     qPrintable(QStringLiteral("byte %1").arg(int(uchar(c)))));
        }
    }

    void templateMatchesItsDesign()
    {
        QCOMPARE(linesOf(QStringLiteral("template.odf")),
                 fromLatin1(kTemplate, int(std::size(kTemplate))));
    }

    void aboutNotesMatchTheirDesign()
    {
        const QStringList notes = linesOf(QStringLiteral("about-notes.txt"));
        QCOMPARE(notes, fromLatin1(kNotes, int(std::size(kNotes))));
        for (int i = 0; i < notes.size() - 1; ++i)
            QVERIFY(notes[i].endsWith(QLatin1Char(' ')) &&
                    !notes[i].endsWith(QStringLiteral("  ")));
        QVERIFY(!notes.last().endsWith(QLatin1Char(' ')));
    }

    // A banner is "//" and 70 asterisks; followed by a comment it opens a
    // section titled by that comment, followed by an empty line it divides.
    void bannersOpenSectionsOrDivide_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<int>("dividers");
        const QStringList common = {
            QStringLiteral("//SHIP NAMES"), QStringLiteral("//ART PARAMETERS & WEAPON NAMES"),
            QStringLiteral("//AI system parameters"), QStringLiteral("//CREW STATUS MULTIPLIERS")};
        QTest::newRow("template") << QStringLiteral("template.odf") << common << 2;
        QTest::newRow("example") << QStringLiteral("example.odf")
                                 << common + QStringList{QStringLiteral("//PHYSICS PARAMETERS"),
                                                         QStringLiteral("//KEYMAP LABEL")}
                                 << 1; // its last banner opens the added sections
    }

    void bannersOpenSectionsOrDivide()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, titles);
        QFETCH(int, dividers);
        const QStringList lines = linesOf(name);
        QStringList seenTitles;
        int dividerCount = 0;
        for (int i = 0; i < lines.size(); ++i) {
            if (!lines[i].startsWith(QStringLiteral("//*")))
                continue;
            QCOMPARE(lines[i], kBanner);
            QVERIFY(i + 1 < lines.size());
            const QString& next = lines[i + 1];
            if (next.isEmpty()) {
                ++dividerCount;
            } else {
                QVERIFY2(next.startsWith(QStringLiteral("//")) && next != kBanner,
                         qPrintable(next));
                seenTitles << next;
            }
        }
        QCOMPARE(seenTitles, titles);
        QCOMPARE(dividerCount, dividers);
    }

    // Undoing the example's differences, line by line, gives the template's
    // lines again, values aside.
    void exampleIsTheTemplateWithItsDifferences()
    {
        const QStringList example = linesOf(QStringLiteral("example.odf"));
        const QStringList blank = linesOf(QStringLiteral("template.odf"));
        QCOMPARE(example.size(), 112);
        QCOMPARE(example.first(), QStringLiteral("#include \"cruise3.odf\""));

        // Each weapon block's comment names its weapon instead (lines 56, 60).
        const QRegularExpression weaponName(QStringLiteral("^// [A-Z][A-Za-z0-9 ]*$"));
        for (const int index : {55, 59}) {
            QVERIFY2(weaponName.match(example[index]).hasMatch(), qPrintable(example[index]));
            QVERIFY(!example[index].contains(QStringLiteral("Weapon name")));
        }

        QStringList expected = shapes(blank);
        expected[0] = example.first();
        QCOMPARE(expected[51], QStringLiteral("// 1st Weapon name"));
        QCOMPARE(expected[55], QStringLiteral("// 2nd Weapon name"));
        expected[51] = example[55];
        expected[55] = example[59];
        const int craftNames = int(expected.indexOf(QStringLiteral("possibleCraftNames = ...")));
        for (int i = 0; i < 4; ++i)
            expected.insert(craftNames + 1, QStringLiteral("\t..."));
        const int critical =
            int(expected.indexOf(QStringLiteral("criticalTargetHardpoints = ...")));
        expected.insert(critical + 1, QString());
        expected.insert(critical + 1, QString());
        const QStringList added = {
            QStringLiteral("//PHYSICS PARAMETERS"),
            QString(),
            QStringLiteral("// Scripted 3D Attack paths"),
            QStringLiteral("attack_path0 = ..."),
            QStringLiteral("attack_path1 = ..."),
            QString(),
            kBanner,
            QStringLiteral("//KEYMAP LABEL"),
            QStringLiteral("// Obsolete, use hotkeyLabel"),
            QStringLiteral("// keymapLabel = ..."),
            QStringLiteral("hotkeyLabel = ..."),
            QString(),
        };
        // They follow the second of the two closing banners, line 97.
        QCOMPARE(expected[96], kBanner);
        for (int i = 0; i < added.size(); ++i)
            expected.insert(97 + i, added[i]);
        QCOMPARE(shapes(example), expected);
    }

    void bothTextsHoldTheKeysInOrder()
    {
        QStringList all;
        QStringList templateOnly;
        for (const KeyRule& rule : kKeys) {
            all << QString::fromLatin1(rule.key);
            if (!rule.exampleOnly)
                templateOnly << QString::fromLatin1(rule.key);
        }
        QStringList exampleKeys;
        for (const KeyLine& line : keyLines(linesOf(QStringLiteral("example.odf"))))
            exampleKeys << line.key;
        QStringList templateKeys;
        for (const KeyLine& line : keyLines(linesOf(QStringLiteral("template.odf"))))
            templateKeys << line.key;
        QCOMPARE(templateKeys, templateOnly);
        QCOMPARE(exampleKeys, all);
    }

    // The template leaves every value empty: "" for strings, one "" per list
    // item, nothing for numbers.
    void templateValuesAreEmpty()
    {
        const auto keys = keyLines(linesOf(QStringLiteral("template.odf")));
        for (const KeyRule& rule : kKeys) {
            if (rule.exampleOnly)
                continue;
            const QString value = valueOf(keys, QString::fromLatin1(rule.key));
            QStringList empties;
            for (int i = 0; i < rule.templateItems; ++i)
                empties << QStringLiteral("\"\"");
            QCOMPARE(value, empties.join(QLatin1Char(' ')));
        }
    }

    void exampleValuesAreOfTheirKind()
    {
        const auto keys = keyLines(linesOf(QStringLiteral("example.odf")));
        for (const KeyRule& rule : kKeys) {
            const QString key = QString::fromLatin1(rule.key);
            const QString value = valueOf(keys, key);
            const QRegularExpression form(QString::fromLatin1(rule.exampleValue));
            QVERIFY2(form.match(value).hasMatch(), qPrintable(key + QStringLiteral(" = ") + value));
            QCOMPARE(quotedItems(value).size(), rule.exampleItems);
        }

        const auto number = [&keys](const char* key) {
            return valueOf(keys, QString::fromLatin1(key)).remove(QLatin1Char('f')).toDouble();
        };
        QCOMPARE(valueOf(keys, QStringLiteral("verboseTooltip")),
                 valueOf(keys, QStringLiteral("tooltip")).chopped(1) + QStringLiteral("_V\""));
        QVERIFY(number("maxHealth") < 500);
        for (const char* key : {"attackPower", "intrinsicValue"})
            QVERIFY(number(key) >= 0.0 && number(key) <= 1.0);
    }

    // The weapons' target list names the hardpoints of both weapons, in
    // order; one list somewhere has two blanks between two items.
    void exampleHardpointLists()
    {
        const QStringList lines = linesOf(QStringLiteral("example.odf"));
        const auto keys = keyLines(lines);
        const QStringList weapons =
            quotedItems(valueOf(keys, QStringLiteral("weaponHardpoints1"))) +
            quotedItems(valueOf(keys, QStringLiteral("weaponHardpoints2")));
        QCOMPARE(quotedItems(valueOf(keys, QStringLiteral("weaponsTargetHardpoints"))), weapons);

        int doubleBlanks = 0;
        for (const QString& line : lines)
            doubleBlanks += int(line.count(QStringLiteral("\"  \"")));
        QCOMPARE(doubleBlanks, 1);
        QVERIFY(!resource(QStringLiteral("template.odf")).contains("\"  \""));
    }

    // 24 two-word names with one first word, on five continuation lines.
    void exampleShipNames()
    {
        const QStringList lines = linesOf(QStringLiteral("example.odf"));
        const int keyLine = int(lines.indexOf(QStringLiteral("possibleCraftNames = ")));
        QCOMPARE(keyLine, 45);
        const QRegularExpression name(QStringLiteral("^\"([A-Za-z]+) [A-Za-z]+\"$"));
        QList<int> perLine;
        QSet<QString> prefixes;
        QSet<QString> names;
        for (int i = keyLine + 1; lines[i].startsWith(QLatin1Char('\t')); ++i) {
            const QStringList items = quotedItems(lines[i]);
            QCOMPARE(lines[i], QLatin1Char('\t') + items.join(QLatin1Char(' ')));
            for (const QString& item : items) {
                const auto match = name.match(item);
                QVERIFY2(match.hasMatch(), qPrintable(item));
                prefixes << match.captured(1);
                names << item;
            }
            perLine << int(items.size());
        }
        QCOMPARE(perLine, QList<int>({5, 5, 5, 4, 5}));
        QCOMPARE(names.size(), 24);
        QCOMPARE(prefixes.size(), 1);
    }

    // The two sections that only the example has, and the lines after them.
    void exampleEnds()
    {
        const QStringList lines = linesOf(QStringLiteral("example.odf"));
        const QStringList end = lines.mid(97);
        QCOMPARE(end.mid(0, 6),
                 QStringList({QStringLiteral("//PHYSICS PARAMETERS"), QString(),
                              QStringLiteral("// Scripted 3D Attack paths"),
                              QStringLiteral("attack_path0 = \"p2.pth\""),
                              QStringLiteral("attack_path1 = \"p3.pth\""), QString()}));
        QCOMPARE(end.mid(6, 3), QStringList({kBanner, QStringLiteral("//KEYMAP LABEL"),
                                             QStringLiteral("// Obsolete, use hotkeyLabel")}));
        QVERIFY2(QRegularExpression(QStringLiteral("^// keymapLabel = \"[a-z]+\"$"))
                     .match(end[9])
                     .hasMatch(),
                 qPrintable(end[9]));
        QCOMPARE(end.mid(10),
                 QStringList({QStringLiteral("hotkeyLabel = \"HOTKEY_F6\""), QString(), QString(),
                              QStringLiteral("// let's make this a bit bigger"),
                              QStringLiteral("ScaleSOD = 1.5")}));
    }
};

QTEST_GUILESS_MAIN(TestReferenceTexts)
#include "tst_referencetexts.moc"
