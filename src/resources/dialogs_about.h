/* Control ids of the about box and the address of Tamarin's support site,
   shared by dialogs_about.rc (windres) and the about box code. Plain
   preprocessor definitions only, so that both the resource compiler and the
   compilers can include this file. */
#ifndef TAMARIN_DIALOGS_ABOUT_H
#define TAMARIN_DIALOGS_ABOUT_H

/* About box (IDD_ABOUT). */
#define IDC_ABOUT_ICON            1006  /* the program file's icon */
#define IDC_ABOUT_RESOURCES       1007  /* free system resources, where the system tells them */
#define IDC_ABOUT_URL             1008  /* link to the support site */
#define IDC_ABOUT_VERSION         1009  /* product name and version */
#define IDC_ABOUT_NOTICE          1010  /* a notice under the others (the code page);
                                           made at run time, not in the template */

/* The support site: the text of the link and the address it opens. */
#define ABOUT_SITE_URL            "https://tamarin.example/"

#endif /* TAMARIN_DIALOGS_ABOUT_H */
