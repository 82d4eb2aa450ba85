#pragma once

// Type codes of template settings; the numbers are what the rest of the program compares against.
enum FlashTemplatePropertyType {
    pt_text = 0,
    pt_number = 1,
    pt_color = 2,
    pt_list = 3,
    pt_composite = 4,
    pt_file = 5,
    pt_list_fromFunction = 6,
    pt_form_security = 7,
    pt_font = 8,
    pt_form_contactabout = 9,
    pt_bool = 10,
    pt_form_language = 11,
};
