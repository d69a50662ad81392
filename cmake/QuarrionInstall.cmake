# Installation of the plug-ins and the shared folder tree.
