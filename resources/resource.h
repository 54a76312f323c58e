// Identifiers of the launcher's resources, shared by the code and the resource script.
#pragma once

#define IDS_PRODUCT_NAME 103
#define IDS_CANNOT_START 111

#define IDI_FILE_ICON 107
#define IDI_SECOND_ICON 108
