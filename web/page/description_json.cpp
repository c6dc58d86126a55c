// SPDX-License-Identifier: MIT
// The page's description as JSON, written by one set of helpers for every
// list it holds.
#include "common/colour_scales.h"
#include "web/page/page_description.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace {

// Quotes and backslashes escaped, and control characters as \u00XX;
// everything else (UTF-8 included) as it is.
void add_string(std::string &out, const char *text)
{
    out += '"';
    for (const char *c = text; *c; c++) {
        const unsigned char byte = static_cast<unsigned char>(*c);
        if (*c == '"' || *c == '\\') {
            out += '\\';
            out += *c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += *c;
        }
    }
    out += '"';
}

// A number as JSON has it: 17 digits read back exactly; null for NaN and
// the infinities, which JSON cannot write.
void add_number(std::string &out, double x)
{
    if (!std::isfinite(x)) {
        out += "null";
        return;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", x);
    out += text;
}

// One "key": value pair of an object, with the comma before all but the first.
struct object_writer {
    std::string &out;
    bool first = true;

    void key(const char *name)
    {
        out += first ? "" : ",";
        first = false;
        add_string(out, name);
        out += ':';
    }
    void text(const char *name, const char *value)
    {
        key(name);
        add_string(out, value);
    }
    void number(const char *name, double value)
    {
        key(name);
        add_number(out, value);
    }
    void flag(const char *name, bool value)
    {
        key(name);
        out += value ? "true" : "false";
    }
};

void add_fields(object_writer &o, const described_number &n)
{
    o.text("name", n.name);
    o.text("label", n.label);
    o.text("unit", n.unit);
    o.text("meaning", n.meaning);
    o.text("kind", n.kind == whole_number ? "whole" : n.kind == text_number ? "text" : "real");
}

void add_fields(object_writer &o, const text_piece &p)
{
    o.text("when", p.when);
    o.text("text", p.text);
}

void add_fields(object_writer &o, const table_row &r)
{
    o.text("label", r.label);
    o.text("unit", r.unit);
    o.text("measured", r.measured);
    o.text("sigma", r.sigma);
    o.text("exact", r.exact);
    o.text("verdict", r.verdict);
}

void add_fields(object_writer &o, const plot_axis &a)
{
    o.text("name", a.name);
    o.text("label", a.label);
    o.number("low", a.low);
    o.number("high", a.high);
    o.number("least_high", a.least_high);
}

void add_fields(object_writer &o, const plot_line &l)
{
    o.text("label", l.label);
    o.text("colour", l.colour);
    o.text("value", l.value);
    o.text("axis", l.axis);
    o.flag("dashed", l.dashed);
}

void add_fields(object_writer &o, const colour_scale &s)
{
    o.text("name", s.name);
    o.text("label", s.label);
    o.text("low", s.low);
    o.text("middle", s.middle);
    o.text("high", s.high);
}

// A list of objects, each written by its add_fields.
template <typename T> void add_list(object_writer &o, const char *name, const T *items, int count)
{
    o.key(name);
    o.out += '[';
    for (int k = 0; k < count; k++) {
        o.out += k > 0 ? ",{" : "{";
        object_writer item{o.out};
        add_fields(item, items[k]);
        o.out += '}';
    }
    o.out += ']';
}

template <typename T> void add_list(object_writer &o, const char *name, list_of<T> list)
{
    add_list(o, name, list.items, list.count);
}

} // namespace

const char *description_json(const page_description &page)
{
    static std::string out;
    if (!out.empty())
        return out.c_str();
    out += '{';
    object_writer o{out};
    o.text("program", page.program);
    o.text("summary_line", page.summary_line);
    o.text("model", page.model);
    o.text("step", page.step);
    o.text("steps", page.steps);
    o.text("presses", page.presses);
    o.text("setting", page.setting);
    o.key("legend_ends");
    for (int k = 0; k < 3; k++) {
        out += k > 0 ? "," : "[";
        add_string(out, page.legend_ends[k]);
    }
    out += ']';
    o.text("legend_words", page.legend_words);
    o.text("exact_heading", page.exact_heading);
    o.text("table_note", page.table_note);
    o.text("plot_words", page.plot_words);
    o.text("first_plot_text", page.first_plot_text);
    o.number("places", page.places);
    add_list(o, "columns", page.columns);
    add_list(o, "summary", page.summary);
    add_list(o, "constants", page.constants);
    add_list(o, "caption", page.caption);
    add_list(o, "table_says", page.table_says);
    add_list(o, "notes", page.notes);
    add_list(o, "table", page.table);
    add_list(o, "axes", page.axes);
    add_list(o, "lines", page.lines);
    o.key("longest");
    object_writer longest{out};
    out += '{';
    for (int k = 0; k < page.longest.count; k++)
        longest.number(page.longest.items[k].name, page.longest.items[k].value);
    out += '}';
    o.text("shade_from", page.shade_from);
    o.text("shade_to", page.shade_to);
    const side_plot &second = page.second_plot;
    o.key("second_plot");
    out += '{';
    object_writer plot{out};
    plot.text("title", second.title);
    plot.text("words", second.words);
    plot.text("x_label", second.x_label);
    plot.text("y_label", second.y_label);
    add_list(plot, "columns", second.columns);
    add_list(plot, "lines", second.lines);
    plot.text("file_button", second.file_button);
    plot.text("file_name", second.file_name);
    add_list(plot, "says", second.says);
    out += '}';
    add_list(o, "scales", colour_scales, colour_scale_count);
    out += '}';
    return out.c_str();
}
