// Widgets are added to this library by their modules.
