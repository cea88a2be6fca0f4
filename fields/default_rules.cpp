#include "fields/rules.h"

namespace fields {
namespace {

// Kept ASCII so that it is the same in every encoding fields.txt may be read in.
constexpr const char *kDefaultRules[] = {
    "# fields.txt: how Gearledger reads the stats (fields) of items out of their",
    "# descriptions, for Find Items and Compare. Edit it freely; the databases",
    "# themselves never change. A line beginning with # is a comment.",
    "#",
    "#   match <pattern>             text as the game prints it, with {placeholders}",
    "#   alias <field>: <name>, ...  other names of a field, in queries and in the text",
    "#   coin <unit>: <value>        a money unit for {field:money}",
    "#",
    "# Patterns ignore case; a blank stands for any run of blanks. A pattern",
    "# begins with text and never matches across a line. Placeholders:",
    "#   {field:number}  18, -3, +4, 2.5     {field:dice}   3d6, 2d4+1 (kept as the average)",
    "#   {field:money}   7 gold, 8 silver, and 4 copper (the coins below)",
    "#   {field:word}    one word            {field:words}  words up to other text",
    "#   {name} ... {number}  a stat naming itself: Affects {name} by {number}",
    "#   {pairs}         stats naming themselves: STR +1, DEX +2 and CON -1",
    "# A number field found twice in one item adds up; a words field keeps every word.",
    "",
    "# Money: the value of each unit in the smallest one.",
    "coin gold: 10000",
    "coin silver: 100",
    "coin copper: 1",
    "",
    "# Lines such as",
    "#   Weight 9, Item type: WEAPON |Damage: 3d6 fire |Item is: MAGIC GLOW |",
    "#   This item will also affect your ARMOR -4 and  CON +1. |",
    "#   Estimated Value: 7 gold, 8 silver, and 4 copper|",
    "match Weight {weight:number}",
    "match Type: {type:word}",
    "match Damage: {damage:dice}",
    "match Damage {damage:dice}",
    "match Item is: {flags:words}",
    "match affect your {pairs}",
    "match Estimated Value: {value:money}",
    "",
    "# Identify output of Diku, Merc and ROM games:",
    "#   Object 'a ring' is type armor, extra flags glow hum.",
    "#   Weight 4, value 310, level 18.",
    "#   Armor class is 6 pierce, 6 bash, 6 slash, and 4 vs. magic.",
    "#   Affects hitroll by 2.",
    "#   Damage is 3d6 (average 10).",
    "#   Can be worn on: finger",
    "match is type {type:word}",
    "match extra flags {flags:words}",
    "match value {value:number}",
    "match level {level:number}",
    "match Armor class is {ac_pierce:number} pierce, {ac_bash:number} bash, {ac_slash:number} slash,"
    " and {ac_magic:number} vs. magic",
    "match Armor class is {ac:number}.",
    "match Armor class {ac:number}",
    "match Affects {name} by {number}",
    "match Affects: {name} by {number}",
    "match Damage is {damage:dice}",
    "match Can be worn on: {slot:words}",
    "match Wear location: {slot:words}",
    "",
    "# Blocks of the form Name: / Level: 12 / Wear: finger / Hitroll: +3",
    "match Level: {level:number}",
    "match Wear: {slot:words}",
    "match Hitroll: {hitroll:number}",
    "match Damroll: {damroll:number}",
    "match Weight: {weight:number}",
    "match Flags: {flags:words}",
    "",
    "# Other names. Affects damage roll by 3 counts as damroll.",
    "alias hitroll: hr, hit roll",
    "alias damroll: dr, damage roll, dam roll",
    "alias hp: hit points, hitpoints, health",
    "alias mana: mn",
    "alias armor: armour, armor class",
    "alias str: strength",
    "alias dex: dexterity",
    "alias con: constitution",
    "alias int: intelligence",
    "alias wis: wisdom",
    "alias level: lvl",
    "alias slot: worn",
    "alias flags: flag",
};

} // namespace

QByteArray defaultRulesFile()
{
    QByteArray bytes;
    for (const char *line : kDefaultRules)
        bytes.append(line).append("\r\n");
    return bytes;
}

} // namespace fields
