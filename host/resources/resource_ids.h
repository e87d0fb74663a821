/* The resource identifiers of scripthost.exe, shared by scripthost.rc, the
   host's code and the app packer (which replaces the icon group and the
   version record of a copy of the program). Plain macros: the resource
   compiler reads this file too. */
#ifndef SCRIPTHOST_RESOURCE_IDS_H
#define SCRIPTHOST_RESOURCE_IDS_H

/* Dialog templates. */
#define IDD_PROMPT 1 /* the input box and the run box */
#define IDD_WINDOW 2 /* the main window and script dialogs */

/* Controls of IDD_PROMPT besides IDOK and IDCANCEL. */
#define IDC_PROMPT_LABEL 3 /* the prompt, or the run box's last results */
#define IDC_PROMPT_FIELD 4 /* the text the user types */

/* The program's icon group (the window icon) and its version record. */
#define IDI_PROGRAM 1
#define IDV_PROGRAM 1

#endif
