#include "bench/generated_database.h"

#include "storage/windows1252.h"

#include <QList>

#include <cstring>
#include <random>
#include <string>

namespace bench {
namespace {

// Windows-1252 bytes: \xE9 é, \xFC ü, \xDC Ü, \x8C Œ, \x80 €.
constexpr const char *kArticles[] = {"a ", "a ", "a ", "the ", "some ", ""};
constexpr const char *kAdjectives[] = {"gleaming", "rusty",   "small",    "heavy",     "ancient", "cracked",
                           "polished", "jeweled", "tattered", "glowing",   "crude",   "fine",
                           "massive",  "ornate",  "battered", "runed",     "worn",    "shimmering"};
constexpr const char *kMaterials[] = {"iron",  "steel",    "silver",  "golden",     "mithril", "bronze",
                          "leather", "wooden", "bone",    "crystal",    "obsidian", "adamantite"};
constexpr const char *kNouns[] = {"longsword", "dagger", "ring",  "shield", "helm",   "cloak",       "amulet",
                      "bracer",    "gauntlets", "boots", "staff", "wand",  "mace",        "axe",
                      "robe",      "belt",   "potion", "scroll", "lantern", "breastplate", "spear",
                      "\xE9p\xE9\x65"};
constexpr const char *kSuffixes[] = {"",          "",           "",          " of the bear", " of fire", " of protection",
                         " of the \x8Cil", " of \xDCr\xFCm", " of the magi", " of frost", " of speed",
                         " of the deep"};
constexpr const char *kTypes[] = {"WEAPON", "ARMOR", "WORN", "TREASURE", "CONTAINER", "LIGHT", "POTION", "SCROLL", "WAND"};
constexpr const char *kFlags[] = {"MAGIC", "GLOW", "HUM", "BLESS", "NODROP", "INVISIBLE", "ANTI-EVIL", "ANTI-GOOD", "MAGIC GLOW"};
constexpr const char *kAffects[] = {"HITROLL", "DAMROLL", "STR", "DEX", "ARMOR", "HP", "MANA", "INT", "WIS"};
constexpr const char *kWearOn[] = {"FINGER", "NECK", "BODY", "HEAD", "LEGS", "FEET", "HANDS", "ARMS", "WAIST", "WRIST"};
constexpr const char *kSpells[] = {"bless", "armor", "cure light", "sanctuary", "fly", "detect magic"};
constexpr const char *kLore[] = {"Made by the smiths of \xDCr\xFCm",     "Sold for 3 \x80 in the market of Port Vell",
                     "It bears the crest of the \x8Cil",       "A fine \xE9p\xE9\x65 from the south",
                     "Found in the ruins of the old keep",     "It smells faintly of smoke",
                     "You feel a strange power within it",     "Forged in the fires of the mountain",
                     "Looted from the hoard of a troll king",  "Its edge never dulls",
                     "Carried by the guards of the north gate", "A rune is carved on its side",
                     "It is lighter than it looks",            "Sold by the merchants of Midgaard",
                     "Worn by the priests of the temple",      "It hums when danger is near"};

class Generator
{
public:
    explicit Generator(unsigned seed) : random_(seed) {}

    std::string name()
    {
        std::string text = below(2) ? std::string(pick(kAdjectives)) + " " : std::string();
        // The few hits of a name search: no other word holds "dragon".
        text += below(150) == 0 ? "dragonbone" : pick(kMaterials);
        text += std::string(" ") + pick(kNouns) + pick(kSuffixes);
        std::string article = pick(kArticles);
        while (article.size() + text.size() < 10)
            text = std::string(pick(kAdjectives)) + " " + text;
        if (article == "a " && std::strchr("aeiou", text[0]))
            article = "an ";
        return cut(article + text, 40, 10);
    }

    std::string description()
    {
        std::string text;
        const int lines = 3 + int(6 * cubed());
        for (int line = 0; line < lines; ++line) {
            const std::size_t length = 30 + std::size_t(41 * cubed());
            std::string out = line == 0 ? "Weight " + number(30) + ", Item type: " + pick(kTypes) : phrase();
            // Whole phrases up to the length, cut at a blank only when a line would be too short.
            while (out.size() < length) {
                const std::string next = phrase();
                if (out.size() >= 30 && out.size() + 2 + next.size() > length)
                    break;
                out += ", " + next;
            }
            text += cut(out, 70, 30) + "|";
        }
        return text;
    }

private:
    std::string phrase()
    {
        switch (below(10)) {
        case 0:
            return "Damage " + number(4) + "d" + number(12);
        case 1:
            // The few hits of a description search: no other phrase holds "cursed".
            return below(100) == 0 ? "Item is: CURSED" : std::string("Item is: ") + pick(kFlags);
        case 2:
            return "Estimated Value: " + number(500) + " gold, " + number(9) + " silver";
        case 3:
            return std::string("Affects: ") + pick(kAffects) + " by " + number(5);
        case 4:
            return std::string("Can be worn on: ") + pick(kWearOn);
        case 5:
            return "Level " + number(50) + ", Armor class " + number(10);
        case 6:
            return std::string("Spell: ") + pick(kSpells);
        case 7:
            return "Charges " + number(5) + " of " + number(9);
        default:
            return pick(kLore);
        }
    }

    // At most `length` bytes, cut at a blank when that keeps at least `least`.
    static std::string cut(const std::string &text, std::size_t length, std::size_t least)
    {
        if (text.size() <= length)
            return text;
        const std::size_t blank = text.rfind(' ', length);
        if (blank != std::string::npos && blank >= least + 1) {
            std::string kept = text.substr(0, blank);
            if (kept.back() == ',')
                kept.pop_back();
            return kept;
        }
        return text.substr(0, length);
    }

    // The engine's output is the same everywhere; the standard distributions are not.
    unsigned below(unsigned n) { return unsigned(random_() % n); }
    // From 0 to 1, mostly small: most lines and descriptions are short.
    double cubed()
    {
        const double u = double(random_()) / 4294967296.0;
        return u * u * u;
    }
    std::string number(unsigned max) { return std::to_string(1 + below(max)); }
    template <std::size_t size>
    const char *pick(const char *const (&words)[size])
    {
        return words[below(unsigned(size))];
    }

    std::mt19937 random_;
};

constexpr const char *kChatter[] = {
    "\x1b[1;35mGorath tells you 'meet me at the north gate'\x1b[0m",
    "You hit the orc captain.",
    "\x1b[31mThe orc captain misses you.\x1b[0m",
    "\x1b[33mThe sun slowly rises in the east.\x1b[0m",
    "[OOC] Mira: anyone selling potions of cure light?",
    "You are hungry.",
    "\x1b[36mExits: north east south\x1b[0m",
    "Caf\xE9 Lumi\xE8re: a warm room smelling of bread.",
    "Thorin gossips, 'the \x8Cil keep is open again'",
    "You receive 120 experience points.",
    "\x1b[1;32mYou feel informed:\x1b[0m",
};

} // namespace

QByteArray generatedGameLog(qsizetype bytes, unsigned seed)
{
    const QByteArray database = generatedDatabase(10000, seed);
    const QList<QByteArray> lines = database.split('\n');
    std::mt19937 random(seed);
    QByteArray log;
    log.reserve(bytes + 4096);
    for (qsizetype item = 0; log.size() < bytes; ++item) {
        const qsizetype at = 2 * (item % 10000);
        for (unsigned chatter = random() % 5; chatter > 0; --chatter)
            log += "\x1b[32m<" + QByteArray::number(random() % 900 + 100) + "hp 87m 140mv>\x1b[0m "
                   + kChatter[random() % std::size(kChatter)] + "\r\n";
        QByteArray block = "\x1b[1;36mObject '\x1b[1;33m" + lines[at].chopped(1)
                           + "\x1b[1;36m' is type treasure, extra flags glow hum.\x1b[0m\r\n";
        for (const QByteArray &line : lines[at + 1].chopped(2).split('|'))
            block += (random() % 2 ? "\x1b[36m" + line + "\x1b[0m" : line) + "\r\n";
        block += "\r\n";
        log += item % 3 == 0 ? storage::decodeWindows1252(block).toUtf8() : block;
    }
    return log;
}

QByteArray generatedDatabase(int items, unsigned seed)
{
    Generator generator(seed);
    QByteArray bytes;
    for (int i = 0; i < items; ++i) {
        const std::string name = generator.name();
        const std::string description = generator.description();
        bytes.append(name.data(), qsizetype(name.size())).append("\r\n");
        bytes.append(description.data(), qsizetype(description.size())).append("\r\n");
    }
    return bytes;
}

} // namespace bench
