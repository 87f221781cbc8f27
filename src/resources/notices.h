/* String ids of the balloon notices of the tray icon (notices.rc). */
#ifndef TAMARIN_NOTICES_H
#define TAMARIN_NOTICES_H

#define IDS_NOTICE_CLIPBOARD_READ   6101  /* a clipboard change could not be read */
#define IDS_NOTICE_CLIPBOARD_WRITE  6102  /* a text could not be put on the clipboard */
#define IDS_NOTICE_SAVE_FAILED      6103  /* a file could not be saved; its path follows */

#endif /* TAMARIN_NOTICES_H */
