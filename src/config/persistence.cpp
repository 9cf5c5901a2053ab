#include "config/persistence.h"

#include "core/settings.h"

void LoadSettings()
{
    SetDefaultSettings();
}

void SaveSettings() {}
void SaveMissingSettings() {}
