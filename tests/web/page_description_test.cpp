// SPDX-License-Identifier: MIT
// A program's page description, linked with the program's own: every name
// its texts, table and plot use is a number the page has, and the JSON the
// build writes from it says what the description says.
#include "web/page/page_description.h"

#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <set>
#include <string>

namespace {

std::set<std::string> names_of(list_of<described_number> list)
{
    std::set<std::string> names;
    for (int k = 0; k < list.count; k++)
        names.insert(list.items[k].name);
    return names;
}

TEST(PageDescription, EveryNameItUsesIsANumberThePageHas)
{
    const page_description &page = this_page;
    const std::set<std::string> columns = names_of(page.columns);
    const std::set<std::string> summary = names_of(page.summary);
    std::set<std::string> any = names_of(page.constants);
    any.insert(columns.begin(), columns.end());
    any.insert(summary.begin(), summary.end());
    any.insert("colour");
    const std::regex field(
        R"(\{([A-Za-z_0-9]+):(whole|plain|float|(signed|fixed|grouped)[0-9])\})");
    const std::regex condition(R"(^([A-Za-z_0-9]+)(>0|=[0-9]+| finite| not finite| nan| number)$)");
    std::set<std::string> sampled;
    for (int k = 0; k < page.longest.count; k++)
        sampled.insert(page.longest.items[k].name);
    for (list_of<text_piece> pieces :
         {page.caption, page.table_says, page.notes, page.second_plot.says})
        for (int k = 0; k < pieces.count; k++) {
            const std::string text = pieces.items[k].text;
            for (std::sregex_iterator f(text.begin(), text.end(), field), end; f != end; ++f)
                EXPECT_TRUE(any.count((*f)[1])) << (*f)[1] << " in " << text;
            // Every field is well formed: no braces are left once they go.
            const std::string bare = std::regex_replace(text, field, "");
            EXPECT_EQ(bare.find_first_of("{}"), std::string::npos) << text;
            const std::string when = pieces.items[k].when;
            std::smatch parts;
            if (!when.empty()) {
                ASSERT_TRUE(std::regex_match(when, parts, condition)) << when;
                EXPECT_TRUE(any.count(parts[1])) << when;
            }
        }
    // The room kept for the caption and the notes takes a value for each of
    // their fields and conditions: the page measures it before the module
    // has loaded.
    for (list_of<text_piece> pieces :
         {page.caption, page.table_says, page.notes, page.second_plot.says})
        for (int k = 0; k < pieces.count; k++) {
            const std::string text = pieces.items[k].text;
            for (std::sregex_iterator f(text.begin(), text.end(), field), end; f != end; ++f) {
                const std::string name = (*f)[1];
                EXPECT_TRUE(name == "colour" || sampled.count(name))
                    << name << " has no longest value";
            }
            const std::string when = pieces.items[k].when;
            std::smatch parts;
            if (std::regex_match(when, parts, condition)) {
                EXPECT_TRUE(sampled.count(parts[1])) << when << " has no longest value";
            }
        }
    for (int k = 0; k < page.table.count; k++) {
        EXPECT_TRUE(summary.count(page.table.items[k].measured)) << page.table.items[k].label;
        const std::string exact = page.table.items[k].exact;
        EXPECT_TRUE(exact.empty() || summary.count(exact)) << exact;
    }
    ASSERT_GE(page.axes.count, 2);
    EXPECT_TRUE(columns.count(page.axes.items[0].name)) << "the x axis is a column";
    for (int k = 0; k < page.lines.count; k++) {
        std::string value = page.lines.items[k].value;
        if (value[0] == '-')
            value.erase(0, 1);
        EXPECT_TRUE(columns.count(value) || summary.count(value)) << value;
        bool axis_found = false;
        for (int a = 1; a < page.axes.count; a++)
            axis_found =
                axis_found || std::strcmp(page.axes.items[a].name, page.lines.items[k].axis) == 0;
        EXPECT_TRUE(axis_found) << page.lines.items[k].axis;
    }
}

TEST(PageDescription, JsonCarriesTheTextsEscaped)
{
    const std::string json = description_json(this_page);
    EXPECT_EQ(json.front(), '{');
    EXPECT_EQ(json.back(), '}');
    EXPECT_NE(json.find(std::string("\"program\":\"") + this_page.program + "\""),
              std::string::npos);
    // NaN ends of an axis are JSON's null; every quote inside a text is
    // escaped, so that quotes outside texts pair up.
    EXPECT_NE(json.find("null"), std::string::npos);
    int quotes = 0;
    for (std::size_t k = 0; k < json.size(); k++)
        if (json[k] == '"' && json[k - 1] != '\\')
            quotes++;
    EXPECT_EQ(quotes % 2, 0);
    EXPECT_EQ(json.find('\n'), std::string::npos);
}

} // namespace
