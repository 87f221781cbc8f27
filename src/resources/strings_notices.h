/* String ids of the notices Tamarin shows when it cannot keep a file as it
   should (notice.cpp). Plain preprocessor definitions only, shared by the
   resource compiler and the compilers. */
#ifndef TAMARIN_STRINGS_NOTICES_H
#define TAMARIN_STRINGS_NOTICES_H

#define IDS_NOTICE_CAPTION              61100
#define IDS_NOTICE_SETTINGS_NOT_SAVED   61101
#define IDS_NOTICE_HISTORY_NOT_READ     61102
#define IDS_NOTICE_REGISTERED_NOT_READ  61103

#endif /* TAMARIN_STRINGS_NOTICES_H */
