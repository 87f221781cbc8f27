/* Control ids of the edit pad (IDD_EDITPAD), shared by dialogs_editpad.rc
   (windres) and the pad's code. Plain preprocessor definitions only, so that
   both the resource compiler and the compilers can include this file. */
#ifndef TAMARIN_DIALOGS_EDITPAD_H
#define TAMARIN_DIALOGS_EDITPAD_H

#define IDC_PAD_EDIT              1014  /* the text being edited */

#endif /* TAMARIN_DIALOGS_EDITPAD_H */
