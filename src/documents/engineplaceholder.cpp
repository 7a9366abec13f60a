// Headless jobs are added to this library by their modules.
