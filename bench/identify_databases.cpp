#include "bench/identify_databases.h"

#include <random>
#include <string>

namespace bench {
namespace {

constexpr const char *kAdjectives[] = {"gleaming", "rusty", "small", "heavy", "ancient", "cracked", "polished",
                                       "jeweled", "glowing", "crude", "ornate", "runed", "worn", "shimmering"};
constexpr const char *kMaterials[] = {"iron", "steel", "silver", "golden", "mithril", "bronze", "leather",
                                      "bone", "crystal", "obsidian", "adamantite", "copper"};
// Nouns with the slot each is worn on.
constexpr struct
{
    const char *noun;
    const char *slot;
} kNouns[] = {{"longsword", "WIELD"}, {"dagger", "WIELD"}, {"ring", "FINGER"},   {"band", "FINGER"},
              {"shield", "SHIELD"},   {"helm", "HEAD"},     {"cloak", "ABOUT"},   {"amulet", "NECK"},
              {"bracer", "WRIST"},    {"gauntlets", "HANDS"}, {"boots", "FEET"},  {"staff", "HOLD"},
              {"mace", "WIELD"},      {"robe", "BODY"},     {"belt", "WAIST"},    {"breastplate", "BODY"},
              {"leggings", "LEGS"},   {"sleeves", "ARMS"},  {"\xE9p\xE9\x65", "WIELD"}};
constexpr const char *kSuffixes[] = {"", "", "", " of the bear", " of fire", " of protection", " of the \x8Cil",
                                     " of \xDCr\xFCm", " of the magi", " of frost", " of speed"};
constexpr const char *kTypes[] = {"WEAPON", "ARMOR", "WORN", "TREASURE", "LIGHT", "WAND"};
constexpr const char *kFlags[] = {"MAGIC", "GLOW", "HUM", "BLESS", "NODROP", "INVISIBLE", "ANTI-EVIL", "ANTI-GOOD"};
constexpr const char *kStats[] = {"STR", "DEX", "CON", "INT", "WIS", "ARMOR", "HP", "MANA"};
constexpr const char *kAffects[] = {"hitroll", "damage roll", "strength", "armor class", "hit points", "mana"};
constexpr const char *kLore[] = {"Made by the smiths of \xDCr\xFCm.", "It bears the crest of the \x8Cil.",
                                 "Found in the ruins of the old keep.", "It smells faintly of smoke.",
                                 "You feel a strange power within it.", "Forged in the fires of the mountain.",
                                 "Looted from the hoard of a troll king.", "Its edge never dulls.",
                                 "A rune is carved on its side.", "It is lighter than it looks.",
                                 "Worn by the priests of the temple.", "It hums when danger is near."};

class Generator
{
public:
    explicit Generator(unsigned seed) : random_(seed) {}

    void item(QByteArray *out)
    {
        const auto &noun = kNouns[below(std::size(kNouns))];
        std::string name = below(2) ? std::string(pick(kAdjectives)) + " " : std::string();
        name += std::string(pick(kMaterials)) + " " + noun.noun + pick(kSuffixes);
        std::string text;
        switch (below(4)) {
        case 0:
        case 1:
            text = sampleFormat(noun.slot);
            break;
        case 2:
            text = identifyLines(name, noun.slot);
            break;
        default:
            text = nameBlock(noun.slot);
        }
        for (unsigned lore = below(2); lore > 0; --lore)
            text += std::string(pick(kLore)) + "|";
        out->append(name.data(), qsizetype(name.size())).append("\r\n");
        out->append(text.data(), qsizetype(text.size())).append("\r\n");
    }

private:
    std::string sampleFormat(const char *slot)
    {
        std::string text = "Weight " + number(0, 20) + ", Item type: " + pick(kTypes) + " |";
        if (below(3) == 0)
            text += "Damage: " + number(1, 4) + "d" + number(4, 12) + " fire |";
        text += "Item is: " + flags(" ") + " |";
        text += "This item will also affect your " + std::string(pick(kStats)) + " " + signedNumber(4) + " and  "
                + pick(kStats) + " " + signedNumber(4) + ". |";
        text += std::string("Can be worn on: ") + slot + ", Level " + number(1, 50) + ", Armor class " + number(1, 10)
                + "|";
        return text + "Estimated Value: " + number(0, 500) + " gold, " + number(0, 9) + " silver, and "
               + number(0, 9) + " copper|";
    }

    std::string identifyLines(const std::string &name, const char *slot)
    {
        std::string text = "Object '" + name + "' is type " + lower(pick(kTypes)) + ", extra flags "
                           + lower(flags(" ")) + ".|";
        text += "Weight " + number(0, 20) + ", value " + number(0, 5000) + ", level " + number(1, 50) + ".|";
        if (below(2))
            text += "Armor class is " + number(1, 9) + " pierce, " + number(1, 9) + " bash, " + number(1, 9)
                    + " slash, and " + number(1, 9) + " vs. magic.|";
        for (unsigned affects = below(3); affects > 0; --affects)
            text += std::string("Affects ") + pick(kAffects) + " by " + signedNumber(5) + ".|";
        if (below(3) == 0)
            text += "Damage is " + number(1, 4) + "d" + number(4, 10) + " (average " + number(3, 20) + ").|";
        return text + "Can be worn on: " + lower(slot) + "|";
    }

    std::string nameBlock(const char *slot)
    {
        std::string text = "Level: " + number(1, 50) + "|Wear: " + lower(slot) + "|Hitroll: " + signedNumber(5)
                           + "|Damroll: " + signedNumber(5) + "|";
        return text + "Weight: " + number(0, 20) + "|Type: " + lower(pick(kTypes)) + "|Flags: " + lower(flags(" "))
               + "|";
    }

    std::string flags(const char *separator)
    {
        std::string text = pick(kFlags);
        for (unsigned more = below(3); more > 0; --more)
            text += separator + std::string(pick(kFlags));
        return text;
    }

    static std::string lower(std::string text)
    {
        for (char &c : text)
            c = char(c >= 'A' && c <= 'Z' ? c + 32 : c);
        return text;
    }

    unsigned below(size_t n) { return unsigned(random_() % n); }
    std::string number(unsigned least, unsigned most) { return std::to_string(least + below(most - least + 1)); }
    std::string signedNumber(unsigned most)
    {
        const unsigned value = 1 + below(most);
        return (below(4) == 0 ? "-" : "+") + std::to_string(value);
    }
    template <size_t size>
    const char *pick(const char *const (&words)[size])
    {
        return words[below(size)];
    }

    std::mt19937 random_;
};

} // namespace

QVector<QByteArray> identifyDatabases(int databases, int items, unsigned seed)
{
    QVector<QByteArray> list;
    Generator generator(seed);
    for (int d = 0; d < databases; ++d) {
        QByteArray bytes;
        bytes.reserve(qsizetype(items) * 240);
        for (int i = 0; i < items; ++i)
            generator.item(&bytes);
        list.append(bytes);
    }
    return list;
}

} // namespace bench
