/* Control ids of the registered-text list dialog, shared by
   dialogs_registered.rc (windres) and the dialog code. Plain preprocessor
   definitions only, so that both the resource compiler and the compilers
   can include this file. */
#ifndef TAMARIN_DIALOGS_REGISTERED_H
#define TAMARIN_DIALOGS_REGISTERED_H

/* Registered-text list dialog (IDD_REGISTERED). */
#define IDC_REG_ADD               1010
#define IDC_REG_EDIT              1011
#define IDC_REG_DELETE            1012
#define IDC_REG_LIST              1013  /* the drag list box of the texts */

#endif /* TAMARIN_DIALOGS_REGISTERED_H */
