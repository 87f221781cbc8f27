/* Control ids of the extended settings dialog, shared by dialogs_ext.rc
   (windres) and the dialog code. Plain preprocessor definitions only, so
   that both the resource compiler and the compilers can include this file. */
#ifndef TAMARIN_DIALOGS_EXT_H
#define TAMARIN_DIALOGS_EXT_H

/* Extended settings dialog (IDD_EXTSETTINGS). */
#define IDC_EXT_PASTE             1101  /* paste the picked text into the window it was picked for */
#define IDC_EXT_AUTOSTART         1102  /* run at Windows start-up */
#define IDC_EXT_SEARCHHOTKEY      1103  /* hotkey of the search window */

#endif /* TAMARIN_DIALOGS_EXT_H */
