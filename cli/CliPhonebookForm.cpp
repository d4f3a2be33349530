#include "cli/CliPhonebookForm.h"

#include <cstdio>

void CliPhonebookForm::SetStatusText(const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
}
