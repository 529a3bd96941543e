int nimbrelPlaceholder = 0;
