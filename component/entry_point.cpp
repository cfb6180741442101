// Placeholder translation unit for the component library until the entry point lands.
