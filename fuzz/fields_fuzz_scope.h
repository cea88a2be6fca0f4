#pragma once

#include "query/scope.h"

#include <memory>

// The scope the query and score fuzz target parses and evaluates against: two
// small databases read with the default rules, so that fields of the rules
// (level, slot, flags) and of the text (int, con) are known.
class FuzzScope
{
public:
    static const FuzzScope &instance()
    {
        static const FuzzScope made;
        return made;
    }

    query::Scope scope;
    fields::Registry registry;

private:
    struct Database
    {
        QByteArray bytes;
        storage::RecordIndex index;
        fields::FieldStore store;
    };

    FuzzScope()
    {
        const fields::Rules rules = fields::parseRules(fields::decodeRulesFile(fields::defaultRulesFile())).rules;
        const QByteArray files[] = {
            "small metallic ring\r\nWeight 0, Item type: WORN |Item is: MAGIC |This item will also affect your ARMOR "
            "-3 and  INT +4. |Estimated Value: 7 gold, 8 silver, and 4 copper|\r\nband\r\nLevel: 12|Wear: "
            "finger|Hitroll: +3|\r\n",
            "Object 'a helm' is type armor, extra flags glow hum.|Weight 4, value 310, level 18.|Affects con by "
            "2.|\r\nhelm\r\n"};
        for (const QByteArray &bytes : files) {
            const storage::RecordIndex index = storage::indexRecords(bytes);
            const Database &database = *databases_.emplace_back(
                std::make_unique<Database>(Database{bytes, index, *fields::buildStore(rules, bytes, index)}));
            scope.append({QStringLiteral("db"), &database.bytes, &database.index, &database.store});
        }
        registry = query::registryOf(rules, scope);
    }

    std::vector<std::unique_ptr<Database>> databases_;
};
