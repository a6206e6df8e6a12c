#include "fill/FillPlan.h"

#include "common/Json.h"
#include "directorydb/DirectoryDatabase.h"
#include "fill/PlaceholderExpansion.h"
#include "profiles/Profile.h"

namespace {

// Finds each step's element among all elements by name or id, writes inputs
// of every type and text areas, and skips everything else. Each write is
// announced with bubbling input and change events, so pages driven by their
// own scripts see the new value. The form of the last element written is
// hooked for its submission. Prototype methods are called directly, so that
// elements named like DOM methods cannot take their place.
const char* const fillFunction = R"JS((function (plan) {
    'use strict';
    function find(name, index) {
        if (index < 0)
            return null;
        var all = document.getElementsByTagName('*');
        for (var i = 0; i < all.length; ++i) {
            var element = all[i];
            if (element.id === name || element.getAttribute('name') === name) {
                if (index === 0)
                    return element;
                --index;
            }
        }
        return null;
    }
    function write(element, prototype, text) {
        try {
            Object.getOwnPropertyDescriptor(prototype, 'value').set.call(element, text);
        } catch (e) {
            return false;
        }
        var dispatch = EventTarget.prototype.dispatchEvent;
        dispatch.call(element, new Event('input', {bubbles: true}));
        dispatch.call(element, new Event('change', {bubbles: true}));
        return true;
    }
    var form = null;
    var written = 0;
    for (var i = 0; i < plan.length; ++i) {
        var step = plan[i];
        var element = find(step[0], step[1]);
        var prototype = element instanceof HTMLInputElement ? HTMLInputElement.prototype
            : element instanceof HTMLTextAreaElement ? HTMLTextAreaElement.prototype : null;
        if (!prototype)
            continue;
        if (write(element, prototype, step[2]))
            ++written;
        form = Object.getOwnPropertyDescriptor(prototype, 'form').get.call(element);
    }
    if (form && typeof quillmark !== 'undefined' && typeof quillmark.hookForm === 'function')
        quillmark.hookForm(form);
    return written;
}))JS";

} // namespace

std::vector<FillStep> BuildFillPlan(
    const DirectoryDatabase& database, const std::string& directoryName, const Profile& profile)
{
    std::vector<DirectoryItem> items;
    database.GetDirectoryItems(directoryName, profile.category, profile.subcategory, items);
    std::vector<FillStep> plan;
    plan.reserve(items.size());
    for (const DirectoryItem& item : items)
        plan.push_back({item.name, item.index, ExpandPlaceholders(item.value, profile)});
    return plan;
}

std::string FillScript(const std::vector<FillStep>& plan)
{
    std::string data = "[";
    for (const FillStep& step : plan) {
        if (data.size() > 1)
            data += ',';
        data += '[' + JsonQuote(step.name) + ',' + std::to_string(step.index) + ',' +
            JsonQuote(step.text) + ']';
    }
    data += ']';
    return fillFunction + ('(' + data + ");");
}
