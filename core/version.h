// The program's version, in one place for the code and the version resource.
#pragma once

#define QM_VERSION_MAJOR 1
#define QM_VERSION_MINOR 3
#define QM_VERSION_REVISION 56
